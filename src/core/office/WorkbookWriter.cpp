#include "WorkbookWriter.h"

#include "OfficePackage.h"

#include <QRegularExpression>
#include <QXmlStreamWriter>

#include <algorithm>

// Written with QuaZip rather than libxlsxwriter: both carry their own zip functions under the
// same names, and in one process the one loaded first serves both, which crashes the other.

namespace {

// Style indexes of styles.xml below.
enum Style
{
    TextCell = 1,
    WholeCell = 2,
    DecimalCell = 3,
    HeadingCell = 4
};

const char *const OfficeRelations = "http://schemas.openxmlformats.org/officeDocument/2006/"
                                    "relationships/";
const char *const SheetTypes = "application/vnd.openxmlformats-officedocument.spreadsheetml.";

QByteArray contentTypes()
{
    const QByteArray sheet(SheetTypes);
    const QByteArray workbook = sheet + "sheet.main+xml";
    const QByteArray worksheet = sheet + "worksheet+xml";
    const QByteArray styles = sheet + "styles+xml";
    return contentTypesPart(
        {{"/xl/workbook.xml", workbook.constData()},
         {"/xl/worksheets/sheet1.xml", worksheet.constData()},
         {"/xl/styles.xml", styles.constData()},
         {"/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml"}});
}

QByteArray packageRelations()
{
    const QByteArray document = QByteArray(OfficeRelations) + "officeDocument";
    return relationshipsPart({{document.constData(), "xl/workbook.xml"},
                              {"http://schemas.openxmlformats.org/package/2006/relationships/"
                               "metadata/core-properties",
                               "docProps/core.xml"}});
}

QByteArray workbookRelations()
{
    const QByteArray worksheet = QByteArray(OfficeRelations) + "worksheet";
    const QByteArray styles = QByteArray(OfficeRelations) + "styles";
    return relationshipsPart(
        {{worksheet.constData(), "worksheets/sheet1.xml"}, {styles.constData(), "styles.xml"}});
}

// Fonts: plain, bold. Borders: none, thin, hair. Cell styles: default, text, whole number,
// two decimals, heading.
const char *const Styles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font>"
    "<font><b/><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"3\"><border><left/><right/><top/><bottom/><diagonal/></border>"
    "<border><left style=\"thin\"/><right style=\"thin\"/><top style=\"thin\"/>"
    "<bottom style=\"thin\"/><diagonal/></border>"
    "<border><left style=\"hair\"/><right style=\"hair\"/><top style=\"hair\"/>"
    "<bottom style=\"hair\"/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
    "</cellStyleXfs>"
    "<cellXfs count=\"5\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"1\" xfId=\"0\" "
    "applyBorder=\"1\"/>"
    "<xf numFmtId=\"1\" fontId=\"0\" fillId=\"0\" borderId=\"1\" xfId=\"0\" "
    "applyNumberFormat=\"1\" applyBorder=\"1\"/>"
    "<xf numFmtId=\"2\" fontId=\"0\" fillId=\"0\" borderId=\"1\" xfId=\"0\" "
    "applyNumberFormat=\"1\" applyBorder=\"1\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"2\" xfId=\"0\" applyFont=\"1\" "
    "applyBorder=\"1\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>"
    "</cellStyles></styleSheet>";

// "61,27", "4.00" or "4" as a number; anything else (EL, Ret., a blank) is no number. Times are
// written with a comma, points with the locale's separator, which may be a point.
bool protocolNumber(const QString &text, QString &value, bool &decimals)
{
    static const QRegularExpression number(QStringLiteral("^-?\\d{1,12}([,.]\\d{1,6})?$"));
    if (!number.match(text).hasMatch())
        return false;
    value = QString(text).replace(QLatin1Char(','), QLatin1Char('.'));
    decimals = value.contains(QLatin1Char('.'));
    return true;
}

QString cellName(qsizetype row, qsizetype column)
{
    QString letters;
    for (qsizetype c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + char16_t((c - 1) % 26)));
    return letters + QString::number(row + 1);
}

QByteArray sheetXml(const QList<QStringList> &rows, const QList<bool> &numeric)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    xml.writeStartElement(QStringLiteral("worksheet"));
    xml.writeDefaultNamespace(
        QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main"));
    QList<int> widths;
    for (const QStringList &row : rows)
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (widths.size() <= c)
                widths.resize(c + 1);
            widths[c] = std::max(widths[c], int(row.at(c).size()));
        }
    if (!widths.isEmpty()) {
        xml.writeStartElement(QStringLiteral("cols"));
        for (qsizetype c = 0; c < widths.size(); ++c) {
            xml.writeEmptyElement(QStringLiteral("col"));
            xml.writeAttribute(QStringLiteral("min"), QString::number(c + 1));
            xml.writeAttribute(QStringLiteral("max"), QString::number(c + 1));
            xml.writeAttribute(QStringLiteral("width"),
                               QString::number(std::min(widths[c] + 2, 80)));
            xml.writeAttribute(QStringLiteral("customWidth"), QStringLiteral("1"));
        }
        xml.writeEndElement();
    }
    xml.writeStartElement(QStringLiteral("sheetData"));
    for (qsizetype r = 0; r < rows.size(); ++r) {
        xml.writeStartElement(QStringLiteral("row"));
        xml.writeAttribute(QStringLiteral("r"), QString::number(r + 1));
        const QStringList &row = rows.at(r);
        for (qsizetype c = 0; c < row.size(); ++c) {
            const QString &cell = row.at(c);
            QString value;
            bool decimals = false;
            const bool number = r > 0 && numeric.value(c) && protocolNumber(cell, value, decimals);
            const int style = r == 0   ? HeadingCell
                              : number ? (decimals ? DecimalCell : WholeCell)
                                       : TextCell;
            xml.writeStartElement(QStringLiteral("c"));
            xml.writeAttribute(QStringLiteral("r"), cellName(r, c));
            xml.writeAttribute(QStringLiteral("s"), QString::number(style));
            if (number) {
                xml.writeTextElement(QStringLiteral("v"), value);
            } else if (!cell.isEmpty()) {
                xml.writeAttribute(QStringLiteral("t"), QStringLiteral("inlineStr"));
                xml.writeStartElement(QStringLiteral("is"));
                writePreservedText(xml, QStringLiteral("t"), cell);
                xml.writeEndElement();
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return xml.hasError() ? QByteArray() : out;
}

QByteArray workbookXml(const QString &sheetName)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    xml.writeStartElement(QStringLiteral("workbook"));
    xml.writeDefaultNamespace(
        QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main"));
    xml.writeNamespace(
        QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships"),
        QStringLiteral("r"));
    xml.writeStartElement(QStringLiteral("sheets"));
    xml.writeEmptyElement(QStringLiteral("sheet"));
    // A sheet name may not hold these, nor be longer than 31 characters.
    QString name = sheetName;
    name.remove(QRegularExpression(QStringLiteral("[\\[\\]:*?/\\\\]")));
    xml.writeAttribute(QStringLiteral("name"), xmlText(name.left(31)));
    xml.writeAttribute(QStringLiteral("sheetId"), QStringLiteral("1"));
    xml.writeAttribute(
        QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships"),
        QStringLiteral("id"), QStringLiteral("rId1"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return xml.hasError() ? QByteArray() : out;
}

QByteArray coreXml(const WorkbookProperties &p)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    const QString cp =
        QStringLiteral("http://schemas.openxmlformats.org/package/2006/metadata/core-properties");
    const QString dc = QStringLiteral("http://purl.org/dc/elements/1.1/");
    xml.writeNamespace(cp, QStringLiteral("cp"));
    xml.writeNamespace(dc, QStringLiteral("dc"));
    xml.writeStartElement(cp, QStringLiteral("coreProperties"));
    xml.writeTextElement(dc, QStringLiteral("title"), xmlText(p.title));
    xml.writeTextElement(dc, QStringLiteral("subject"), xmlText(p.subject));
    xml.writeTextElement(dc, QStringLiteral("creator"), xmlText(p.author));
    xml.writeEndElement();
    xml.writeEndDocument();
    return xml.hasError() ? QByteArray() : out;
}

} // namespace

bool workbookBytes(const QList<QStringList> &rows, const QList<bool> &numeric,
                   const WorkbookProperties &properties, QByteArray &bytes, QString &reason)
{
    const PackageParts parts{{QStringLiteral("[Content_Types].xml"), contentTypes()},
                             {QStringLiteral("_rels/.rels"), packageRelations()},
                             {QStringLiteral("docProps/core.xml"), coreXml(properties)},
                             {QStringLiteral("xl/workbook.xml"), workbookXml(properties.sheetName)},
                             {QStringLiteral("xl/_rels/workbook.xml.rels"), workbookRelations()},
                             {QStringLiteral("xl/styles.xml"), Styles},
                             {QStringLiteral("xl/worksheets/sheet1.xml"), sheetXml(rows, numeric)}};
    // A part the XML writer failed on is empty; packed, it would make a workbook nobody reads.
    const bool written = std::all_of(parts.cbegin(), parts.cend(),
                                     [](const auto &part) { return !part.second.isEmpty(); });
    if (!written || !packParts(parts, bytes)) {
        reason = QStringLiteral("Die Arbeitsmappe lässt sich nicht anlegen.");
        return false;
    }
    return true;
}
