#include "WordDocument.h"

#include "OfficePackage.h"

#include <QBuffer>
#include <QXmlStreamWriter>

#include <quazip.h>
#include <quazipfile.h>

namespace {

const char *const DocumentPart = "word/document.xml";

const char *const EmptyDocument =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
    "<w:body><w:sectPr><w:pgSz w:w=\"16838\" w:h=\"11906\" w:orient=\"landscape\"/>"
    "<w:pgMar w:top=\"1134\" w:right=\"1134\" w:bottom=\"1134\" w:left=\"1134\" w:header=\"709\" "
    "w:footer=\"709\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>";

void writeCell(QXmlStreamWriter &xml, const QString &text, bool bold)
{
    xml.writeStartElement(QStringLiteral("w:tc"));
    xml.writeStartElement(QStringLiteral("w:p"));
    xml.writeStartElement(QStringLiteral("w:r"));
    xml.writeStartElement(QStringLiteral("w:rPr"));
    if (bold)
        xml.writeEmptyElement(QStringLiteral("w:b"));
    xml.writeEmptyElement(QStringLiteral("w:sz"));
    xml.writeAttribute(QStringLiteral("w:val"), QStringLiteral("18"));
    xml.writeEndElement();
    writePreservedText(xml, QStringLiteral("w:t"), text);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
}

// The table, and an empty paragraph after it: a body must not end with a table.
QString tableXml(const QList<QStringList> &rows)
{
    QString out;
    QXmlStreamWriter xml(&out);
    const qsizetype columns = rows.value(0).size();
    xml.writeStartElement(QStringLiteral("w:tbl"));
    xml.writeStartElement(QStringLiteral("w:tblPr"));
    xml.writeEmptyElement(QStringLiteral("w:tblW"));
    xml.writeAttribute(QStringLiteral("w:w"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("w:type"), QStringLiteral("auto"));
    xml.writeStartElement(QStringLiteral("w:tblBorders"));
    for (const char *side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
        xml.writeEmptyElement(QString::fromLatin1(side));
        xml.writeAttribute(QStringLiteral("w:val"), QStringLiteral("single"));
        xml.writeAttribute(QStringLiteral("w:sz"), QStringLiteral("4"));
        xml.writeAttribute(QStringLiteral("w:color"), QStringLiteral("808080"));
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("w:tblGrid"));
    for (qsizetype c = 0; c < columns; ++c)
        xml.writeEmptyElement(QStringLiteral("w:gridCol"));
    xml.writeEndElement();
    for (qsizetype r = 0; r < rows.size(); ++r) {
        xml.writeStartElement(QStringLiteral("w:tr"));
        if (r == 0) {
            xml.writeStartElement(QStringLiteral("w:trPr"));
            xml.writeEmptyElement(QStringLiteral("w:tblHeader"));
            xml.writeEndElement();
        }
        for (qsizetype c = 0; c < columns; ++c)
            writeCell(xml, rows.at(r).value(c), r == 0);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    return out + QStringLiteral("<w:p/>");
}

// The table goes before the body's closing section properties, or at its end.
bool insertTable(QByteArray &document, const QByteArray &table)
{
    const qsizetype bodyEnd = document.lastIndexOf("</w:body>");
    if (bodyEnd < 0)
        return false;
    qsizetype at = bodyEnd;
    const qsizetype section = document.lastIndexOf("<w:sectPr", bodyEnd);
    if (section >= 0 && document.indexOf("</w:p>", section) < 0 &&
        document.indexOf("</w:tbl>", section) < 0)
        at = section;
    document.insert(at, table);
    return true;
}

bool readPart(QuaZip &zip, QByteArray &bytes)
{
    QuaZipFile file(&zip);
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info) || info.uncompressedSize > quint64(MaxTemplatePartBytes) ||
        !file.open(QIODevice::ReadOnly))
        return false;
    // The directory's sizes may lie; the read stops at the limit all the same.
    bytes = file.read(MaxTemplatePartBytes + 1);
    return bytes.size() <= MaxTemplatePartBytes && file.getZipError() == UNZ_OK;
}

} // namespace

bool wordDocumentBytes(const QList<QStringList> &rows, const QByteArray &templateBytes,
                       QByteArray &bytes, QString &reason)
{
    PackageParts parts;
    QByteArray document;
    if (templateBytes.isEmpty()) {
        parts = {{QStringLiteral("[Content_Types].xml"),
                  contentTypesPart(
                      {{"/word/document.xml", "application/vnd.openxmlformats-officedocument."
                                              "wordprocessingml.document.main+xml"}})},
                 {QStringLiteral("_rels/.rels"),
                  relationshipsPart({{"http://schemas.openxmlformats.org/officeDocument/2006/"
                                      "relationships/officeDocument",
                                      DocumentPart}})}};
        document = EmptyDocument;
    } else {
        QByteArray source = templateBytes;
        QBuffer sourceBuffer(&source);
        QuaZip templ(&sourceBuffer);
        if (!templ.open(QuaZip::mdUnzip)) {
            reason = QStringLiteral("Die Vorlage ist kein Word-Dokument.");
            return false;
        }
        for (bool more = templ.goToFirstFile(); more; more = templ.goToNextFile()) {
            QByteArray part;
            if (!readPart(templ, part)) {
                reason = QStringLiteral("Die Vorlage ist beschädigt oder zu groß.");
                return false;
            }
            if (templ.getCurrentFileName() == QLatin1String(DocumentPart))
                document = part;
            else
                parts.append({templ.getCurrentFileName(), part});
        }
        if (document.isEmpty()) {
            reason = QStringLiteral("Die Vorlage ist kein Word-Dokument.");
            return false;
        }
    }
    if (!insertTable(document, tableXml(rows).toUtf8())) {
        reason = QStringLiteral("Die Vorlage ist kein Word-Dokument.");
        return false;
    }
    parts.append({QString::fromLatin1(DocumentPart), document});

    if (!packParts(parts, bytes)) {
        reason = QStringLiteral("Das Dokument lässt sich nicht anlegen.");
        return false;
    }
    return true;
}
