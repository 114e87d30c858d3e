#include "WordDocument.h"

#include "OfficePackage.h"

#include <QBuffer>
#include <QXmlStreamReader>
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

// The table, and an empty paragraph after it: a body must not end with a table. Empty when the
// XML writer failed.
QByteArray tableXml(const QList<QStringList> &rows)
{
    QByteArray out;
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
    return xml.hasError() ? QByteArray() : out + "<w:p/>";
}

// The table goes before the body's closing section properties, or at the body's end; never
// into section properties of a paragraph or of a tracked change, where no reader shows it.
bool insertTable(QByteArray &document, const QByteArray &table)
{
    QString text = QString::fromUtf8(document);
    QXmlStreamReader xml(text);
    // The start of the tag just read: its end less back to its "<", which no attribute holds.
    const auto tagStart = [&] {
        return text.lastIndexOf(QLatin1Char('<'), xml.characterOffset() - 1);
    };
    int depth = 0;
    qsizetype section = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (++depth == 2 && xml.name() != u"body") {
                xml.skipCurrentElement(); // the page background, say
                --depth;
            } else if (depth == 3) {
                section = xml.name() == u"sectPr" ? tagStart() : -1;
            }
        } else if (xml.isEndElement()) {
            if (depth == 2) {
                const qsizetype at = section >= 0 ? section : tagStart();
                // An empty "<w:body/>" has no end tag to put the table before.
                if (at < 0 || (section < 0 && !QStringView(text).sliced(at).startsWith(u"</")))
                    return false;
                text.insert(at, QString::fromUtf8(table));
                document = text.toUtf8();
                return true;
            }
            --depth;
        }
    }
    return false;
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
    const QByteArray table = tableXml(rows);
    if (table.isEmpty()) {
        reason = QStringLiteral("Das Dokument lässt sich nicht anlegen.");
        return false;
    }
    if (!insertTable(document, table)) {
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
