#include "OfficePackage.h"

#include <QBuffer>
#include <QXmlStreamWriter>

#include <quazip.h>
#include <quazipfile.h>

bool packParts(const PackageParts &parts, QByteArray &bytes)
{
    bytes.clear();
    QBuffer out(&bytes);
    QuaZip zip(&out);
    bool ok = zip.open(QuaZip::mdCreate);
    for (const auto &[name, part] : parts) {
        if (!ok)
            break;
        QuaZipFile file(&zip);
        ok =
            file.open(QIODevice::WriteOnly, QuaZipNewInfo(name)) && file.write(part) == part.size();
        file.close();
        ok = ok && file.getZipError() == ZIP_OK;
    }
    zip.close();
    return ok && zip.getZipError() == ZIP_OK;
}

QString xmlText(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return out;
}

void writePreservedText(QXmlStreamWriter &xml, const QString &element, const QString &text)
{
    xml.writeStartElement(element);
    xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    xml.writeCharacters(xmlText(text));
    xml.writeEndElement();
}
