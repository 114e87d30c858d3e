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

namespace {
const QByteArray
    XmlDeclaration("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n");
} // namespace

QByteArray contentTypesPart(const QList<QPair<const char *, const char *>> &overrides)
{
    QByteArray out =
        XmlDeclaration +
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>";
    for (const auto &[part, type] : overrides)
        out += QByteArray("<Override PartName=\"") + part + "\" ContentType=\"" + type + "\"/>";
    return out + "</Types>";
}

QByteArray relationshipsPart(const QList<QPair<const char *, const char *>> &links)
{
    QByteArray out =
        XmlDeclaration +
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    int id = 0;
    for (const auto &[type, target] : links)
        out += QByteArray("<Relationship Id=\"rId") + QByteArray::number(++id) + "\" Type=\"" +
               type + "\" Target=\"" + target + "\"/>";
    return out + "</Relationships>";
}

QString xmlText(const QString &text)
{
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n')) {
            out[i] = QLatin1Char(' ');
        } else if (c.isHighSurrogate() && i + 1 < out.size() && out.at(i + 1).isLowSurrogate()) {
            ++i; // a pair, one character
        } else if (c.isSurrogate() || c.unicode() >= 0xFFFE) {
            // Half a pair, or a non-character: no XML file may hold either.
            out[i] = QChar::ReplacementCharacter;
        }
    }
    return out;
}

void writePreservedText(QXmlStreamWriter &xml, const QString &element, const QString &text)
{
    xml.writeStartElement(element);
    xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    xml.writeCharacters(xmlText(text));
    xml.writeEndElement();
}
