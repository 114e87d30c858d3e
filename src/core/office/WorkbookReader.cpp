#include "WorkbookReader.h"

#include "NumberFormat.h"

#include <QBuffer>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QTime>
#include <QXmlStreamReader>

#include <freexl.h>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipfileinfo.h>

#include <cmath>

namespace {

const char ZipMagic[] = "PK\x03\x04";
const char CompoundMagic[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

QString damaged(const QString &what)
{
    return QStringLiteral("Die Arbeitsmappe ist beschädigt: %1").arg(what);
}

QString megabytes(qint64 bytes)
{
    return QString::number(bytes / (1024 * 1024));
}

QString passwordReason()
{
    return QStringLiteral("Die Arbeitsmappe ist mit einem Kennwort geschützt.");
}

QString numberText(double value)
{
    // 15 significant digits drop the binary noise of sums such as 0.1 + 0.2.
    double rounded = QString::number(value, 'g', 15).toDouble();
    if (rounded == 0)
        rounded = 0; // no "-0"
    QString text = QString::number(rounded, 'f', QLocale::FloatingPointShortest);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

// Collects the cells densely, as the caller wants them; empty cells are never stored, so a sheet
// formatted down to its last row costs nothing. Reading a list, only its columns are kept, and
// rows past the row limit only matter if the list reaches them.
class Grid
{
public:
    explicit Grid(int listColumns = 0) : m_listColumns(listColumns) {}

    bool put(qint64 row, qint64 column, const QString &text, QString &reason)
    {
        if (text.isEmpty())
            return true;
        if (m_listColumns > 0 && (column >= m_listColumns || row > MaxWorkbookRows))
            return true;
        if (row >= MaxWorkbookRows) {
            if (m_listColumns > 0) {
                m_listGoesOn = m_listGoesOn || column == 0;
                return true;
            }
            reason = rowsReason();
            return false;
        }
        if (column >= MaxWorkbookColumns) {
            reason =
                QStringLiteral("Die Arbeitsmappe hat mehr als %1 Spalten.").arg(MaxWorkbookColumns);
            return false;
        }
        if (rows.size() <= row)
            rows.resize(row + 1);
        QStringList &cells = rows[row];
        if (cells.size() <= column) {
            cellCount += column + 1 - cells.size();
            if (cellCount > MaxWorkbookCells) {
                reason = QStringLiteral("Die Arbeitsmappe hat mehr als %1 Zellen.")
                             .arg(MaxWorkbookCells);
                return false;
            }
            cells.resize(column + 1);
        }
        cells[column] = text;
        return true;
    }

    // Reading a list: cuts the rows to it, the header row always kept. False when the list
    // runs on past the row limit.
    bool endList(QString &reason)
    {
        qsizetype used = 0;
        while (used < rows.size() && !rows.at(used).value(0).isEmpty())
            ++used;
        if (used == MaxWorkbookRows && m_listGoesOn) {
            reason = rowsReason();
            return false;
        }
        rows.resize(std::min(rows.size(), std::max<qsizetype>(used, 1)));
        return true;
    }

    QList<QStringList> rows;

private:
    static QString rowsReason()
    {
        return QStringLiteral("Die Arbeitsmappe hat mehr als %1 Zeilen.").arg(MaxWorkbookRows);
    }

    qint64 cellCount = 0;
    int m_listColumns = 0;
    // A start number in the row right after the limit.
    bool m_listGoesOn = false;
};

// ---- .xlsx ----

enum class PartRead
{
    Ok,
    Missing,
    Failed
};

PartRead readPart(QuaZip &zip, const QString &name, QByteArray &out, QString &reason)
{
    // Part names of a package ignore case.
    if (!zip.setCurrentFile(name, QuaZip::csInsensitive)) {
        if (zip.getZipError() == UNZ_OK)
            return PartRead::Missing;
        reason = damaged(QStringLiteral("das ZIP-Verzeichnis ist fehlerhaft."));
        return PartRead::Failed;
    }
    QuaZipFile file(&zip);
    QuaZipFileInfo64 info;
    if (!file.open(QIODevice::ReadOnly) || !file.getFileInfo(&info)) {
        reason = damaged(QStringLiteral("%1 lässt sich nicht entpacken.").arg(name));
        return PartRead::Failed;
    }
    const QString tooLarge =
        QStringLiteral("Ein Teil der Arbeitsmappe ist entpackt größer als %1 MB.")
            .arg(megabytes(MaxWorkbookPartBytes));
    if (info.uncompressedSize > quint64(MaxWorkbookPartBytes)) {
        reason = tooLarge;
        return PartRead::Failed;
    }
    out.clear();
    // The declared size can lie, so the bytes actually unpacked are counted as well.
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(chunk.data(), chunk.size());
        if (got < 0) {
            reason = damaged(QStringLiteral("%1 lässt sich nicht entpacken.").arg(name));
            return PartRead::Failed;
        }
        if (got == 0)
            break;
        if (out.size() + got > MaxWorkbookPartBytes) {
            reason = tooLarge;
            return PartRead::Failed;
        }
        out.append(chunk.constData(), got);
    }
    file.close();
    if (file.getZipError() != UNZ_OK) {
        reason = damaged(QStringLiteral("%1 ist fehlerhaft gepackt.").arg(name));
        return PartRead::Failed;
    }
    return PartRead::Ok;
}

bool xmlFailed(const QXmlStreamReader &xml, const QString &part, QString &reason)
{
    if (!xml.hasError())
        return false;
    reason = damaged(
        QStringLiteral("%1 ist kein gültiges XML (Zeile %2).").arg(part).arg(xml.lineNumber()));
    return true;
}

// Reads from the start tag of <si> or <is> to its end: plain <t>, or rich text runs <r><t>.
QString richText(QXmlStreamReader &xml)
{
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"rPh")
                xml.skipCurrentElement(); // phonetic reading, never shown in the cell
            else if (xml.name() == u"t")
                text += xml.readElementText();
            else
                ++depth;
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return text;
}

bool readSharedStrings(const QByteArray &bytes, const QString &part, QStringList &strings,
                       QString &reason)
{
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si")
            strings.append(richText(xml));
    }
    return !xmlFailed(xml, part, reason);
}

// The relationship id of the first <sheet> in document order, or empty when there is none, and
// whether the workbook counts its days from 1904.
bool firstSheetRelation(const QByteArray &bytes, QString &relation, bool &date1904, QString &reason)
{
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"workbookPr") {
            const QStringView flag = xml.attributes().value(QLatin1String("date1904"));
            date1904 = flag == u"1" || flag == u"true";
        }
        if (!xml.isStartElement() || xml.name() != u"sheet")
            continue;
        // Transitional and strict files bind the "r:" prefix to different namespaces.
        for (const QXmlStreamAttribute &attribute : xml.attributes())
            if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                relation = attribute.value().toString();
        if (relation.isEmpty()) {
            reason = damaged(QStringLiteral("dem ersten Tabellenblatt fehlt sein Verweis."));
            return false;
        }
        return true;
    }
    return !xmlFailed(xml, QStringLiteral("xl/workbook.xml"), reason);
}

QString partOfTarget(const QString &target)
{
    const QString path = target.startsWith(QLatin1Char('/'))
                             ? QDir::cleanPath(target.mid(1))
                             : QDir::cleanPath(QStringLiteral("xl/") + target);
    return path.startsWith(QLatin1String("../")) ? QString() : path;
}

struct Relations
{
    QHash<QString, QString> partById;
    QString sharedStrings;
    QString styles;
};

bool readRelations(const QByteArray &bytes, const QString &part, Relations &relations,
                   QString &reason)
{
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != u"Relationship")
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (attributes.value(QLatin1String("TargetMode")) == u"External")
            continue;
        const QString target = partOfTarget(attributes.value(QLatin1String("Target")).toString());
        relations.partById.insert(attributes.value(QLatin1String("Id")).toString(), target);
        if (attributes.value(QLatin1String("Type")).endsWith(u"/sharedStrings"))
            relations.sharedStrings = target;
        else if (attributes.value(QLatin1String("Type")).endsWith(u"/styles"))
            relations.styles = target;
    }
    return !xmlFailed(xml, part, reason);
}

// A reference such as "B3": column letters, then an optional row number (1-based), kept in row.
bool parseReference(QStringView reference, qint64 &row, qint64 &column)
{
    qsizetype at = 0;
    qint64 letters = 0;
    for (; at < reference.size() && at < 4; ++at) {
        const char16_t c = QChar::toUpper(reference[at].unicode());
        if (c < u'A' || c > u'Z')
            break;
        letters = letters * 26 + (c - u'A' + 1);
    }
    if (letters == 0)
        return false;
    column = letters - 1;
    const QStringView digits = reference.mid(at);
    if (digits.isEmpty())
        return true;
    bool ok = false;
    const qint64 number = digits.size() <= 9 ? digits.toLongLong(&ok) : 0;
    if (!ok || number < 1 || !digits.front().isDigit())
        return false;
    row = number - 1;
    return true;
}

// The number format of each cell style, by the style's index. A number reads back as the sheet
// shows it: "4,00" from a cell formatted with two decimals, "01:05,27" from one formatted
// "mm:ss.00".
QList<NumberFormat> styleFormats(const QByteArray &bytes)
{
    QHash<int, NumberFormat> custom;
    QList<NumberFormat> formats;
    QXmlStreamReader xml(bytes);
    bool inCellXfs = false;
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"numFmt") {
            const QXmlStreamAttributes a = xml.attributes();
            custom.insert(a.value(QLatin1String("numFmtId")).toInt(),
                          NumberFormat(a.value(QLatin1String("formatCode")).toString()));
        } else if (xml.name() == u"cellXfs") {
            inCellXfs = xml.isStartElement();
        } else if (inCellXfs && xml.isStartElement() && xml.name() == u"xf") {
            const int id = xml.attributes().value(QLatin1String("numFmtId")).toInt();
            formats << custom.value(id, NumberFormat::builtIn(id));
        }
    }
    // Styles that cannot be read leave the numbers as they are.
    return xml.hasError() ? QList<NumberFormat>() : formats;
}

bool cellText(const QStringView type, const QString &value, bool hasValue,
              const QString &inlineText, const QStringList &shared, const NumberFormat &format,
              bool date1904, QString &text, QString &problem)
{
    if (type == u"inlineStr") {
        text = hasValue && inlineText.isEmpty() ? value : inlineText;
        return true;
    }
    if (!hasValue || value.isEmpty()) {
        text.clear();
        return true;
    }
    if (type == u"s") {
        bool ok = false;
        const int index = value.trimmed().toInt(&ok);
        if (!ok || index < 0 || index >= shared.size()) {
            problem = QStringLiteral("Verweis auf einen fehlenden gemeinsamen Text");
            return false;
        }
        text = shared.at(index);
        return true;
    }
    if (type == u"d" && format.isDateTime()) {
        // A date written as such rather than as a day count.
        const QDateTime when = QDateTime::fromString(value.trimmed(), Qt::ISODateWithMs);
        const QDate epoch = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
        if (when.isValid()) {
            text = format.dateTimeText(epoch.daysTo(when.date()) +
                                           when.time().msecsSinceStartOfDay() / 86'400'000.0,
                                       date1904);
            if (!text.isEmpty())
                return true;
        }
    }
    if (type == u"str" || type == u"e" || type == u"d") {
        text = value;
        return true;
    }
    if (type == u"b") {
        const QString flag = value.trimmed();
        if (flag != u"0" && flag != u"1") {
            problem = QStringLiteral("ungültiger Wahrheitswert");
            return false;
        }
        text = flag == u"1" ? QStringLiteral("WAHR") : QStringLiteral("FALSCH");
        return true;
    }
    if (type.isEmpty() || type == u"n") {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok || !std::isfinite(number)) {
            problem = QStringLiteral("ungültige Zahl");
            return false;
        }
        const int decimals = format.decimals();
        if (format.isDateTime()) {
            text = format.dateTimeText(number, date1904);
            if (text.isEmpty())
                text = numberText(number); // no date a sheet could show
        } else if (decimals > 0 && decimals <= 6 && std::abs(number) < 1e15) {
            // No "-0,00" for a tiny negative number.
            const double shown = std::abs(number) < 0.5 * std::pow(10.0, -decimals) ? 0 : number;
            text =
                QString::number(shown, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
        } else {
            text = numberText(number);
        }
        return true;
    }
    problem = QStringLiteral("unbekannter Zelltyp");
    return false;
}

bool readSheet(const QByteArray &bytes, const QString &part, const QStringList &shared,
               const QList<NumberFormat> &formats, bool date1904, Grid &grid, QString &reason)
{
    QXmlStreamReader xml(bytes);
    qint64 row = -1;
    auto badCell = [&](const QString &problem) {
        reason = damaged(
            QStringLiteral("%1 in %2 (Zeile %3).").arg(problem, part).arg(xml.lineNumber()));
        return false;
    };
    if (!xml.readNextStartElement())
        return !xmlFailed(xml, part, reason) && badCell(QStringLiteral("kein Inhalt"));
    while (xml.readNextStartElement()) {
        if (xml.name() != u"sheetData") {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() != u"row") {
                xml.skipCurrentElement();
                continue;
            }
            // A row without a number follows the previous one, a cell without one its neighbour.
            const QStringView rowNumber = xml.attributes().value(QLatin1String("r"));
            if (rowNumber.isEmpty()) {
                ++row;
            } else {
                bool ok = false;
                const qint64 number = rowNumber.size() <= 9 ? rowNumber.toLongLong(&ok) : 0;
                if (!ok || number < 1)
                    return badCell(QStringLiteral("ungültige Zeilennummer"));
                row = number - 1;
            }
            qint64 column = -1;
            while (xml.readNextStartElement()) {
                if (xml.name() != u"c") {
                    xml.skipCurrentElement();
                    continue;
                }
                const QXmlStreamAttributes attributes = xml.attributes();
                const QStringView reference = attributes.value(QLatin1String("r"));
                if (reference.isEmpty())
                    ++column;
                else if (!parseReference(reference, row, column))
                    return badCell(QStringLiteral("ungültiger Zellbezug"));
                const QString type = attributes.value(QLatin1String("t")).toString();
                const int style = attributes.value(QLatin1String("s")).toInt();
                QString value;
                QString inlineText;
                bool hasValue = false;
                while (xml.readNextStartElement()) {
                    if (xml.name() == u"v") {
                        value = xml.readElementText();
                        hasValue = true;
                    } else if (xml.name() == u"is") {
                        inlineText = richText(xml);
                    } else {
                        xml.skipCurrentElement();
                    }
                }
                if (xml.hasError())
                    break;
                QString text;
                QString problem;
                if (!cellText(type, value, hasValue, inlineText, shared, formats.value(style),
                              date1904, text, problem))
                    return badCell(problem);
                if (!grid.put(row, column, text, reason))
                    return false;
            }
        }
    }
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext(); // what follows the root must be well-formed too
    return !xmlFailed(xml, part, reason);
}

bool readXlsx(const QByteArray &bytes, Grid &grid, QString &reason)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdUnzip)) {
        reason = damaged(QStringLiteral("kein lesbares ZIP-Archiv."));
        return false;
    }
    auto readNeeded = [&](const QString &name, QByteArray &out) {
        switch (readPart(zip, name, out, reason)) {
        case PartRead::Ok:
            return true;
        case PartRead::Missing:
            reason = damaged(QStringLiteral("%1 fehlt.").arg(name));
            return false;
        case PartRead::Failed:
            break;
        }
        return false;
    };

    QByteArray part;
    QString relation;
    bool date1904 = false;
    if (!readNeeded(QStringLiteral("xl/workbook.xml"), part) ||
        !firstSheetRelation(part, relation, date1904, reason))
        return false;
    if (relation.isEmpty()) {
        reason = QStringLiteral("Die Arbeitsmappe enthält kein Tabellenblatt.");
        return false;
    }
    const QString relationsPart = QStringLiteral("xl/_rels/workbook.xml.rels");
    Relations relations;
    if (!readNeeded(relationsPart, part) || !readRelations(part, relationsPart, relations, reason))
        return false;
    const QString sheetPart = relations.partById.value(relation);
    if (sheetPart.isEmpty()) {
        reason = damaged(QStringLiteral("der Verweis auf das erste Tabellenblatt fehlt."));
        return false;
    }

    QStringList shared;
    const QString sharedPart = relations.sharedStrings.isEmpty()
                                   ? QStringLiteral("xl/sharedStrings.xml")
                                   : relations.sharedStrings;
    switch (readPart(zip, sharedPart, part, reason)) {
    case PartRead::Ok:
        if (!readSharedStrings(part, sharedPart, shared, reason))
            return false;
        break;
    case PartRead::Missing:
        break; // a sheet of numbers only needs none
    case PartRead::Failed:
        return false;
    }
    QList<NumberFormat> formats;
    const QString stylesPart =
        relations.styles.isEmpty() ? QStringLiteral("xl/styles.xml") : relations.styles;
    switch (readPart(zip, stylesPart, part, reason)) {
    case PartRead::Ok:
        formats = styleFormats(part);
        break;
    case PartRead::Missing:
        break;
    case PartRead::Failed:
        return false;
    }
    part.clear();
    return readNeeded(sheetPart, part) &&
           readSheet(part, sheetPart, shared, formats, date1904, grid, reason);
}

// ---- compound files ----

// Office keeps a password-protected .xlsx as the stream "EncryptedPackage" of a compound file;
// walking the directory finds it without taking any stream's bytes for a name.
bool holdsEncryptedPackage(const QByteArray &file)
{
    const auto byteAt = [&](qint64 at) { return quint32(quint8(file.at(at))); };
    const auto u16 = [&](qint64 at) { return byteAt(at) | byteAt(at + 1) << 8; };
    const auto u32 = [&](qint64 at) { return u16(at) | u16(at + 2) << 16; };
    if (file.size() < 512)
        return false;
    const quint32 shift = u16(0x1E);
    if (shift != 9 && shift != 12)
        return false;
    const qint64 sectorSize = qint64(1) << shift;
    const qint64 sectors = file.size() / sectorSize - 1; // the header fills the first one
    const auto sectorAt = [&](quint32 sector) -> qint64 {
        return sector < sectors ? (sector + 1) * sectorSize : -1;
    };
    const qint64 perSector = sectorSize / 4;

    QList<quint32> fatSectors;
    const quint32 fatCount = u32(0x2C);
    if (fatCount > sectors)
        return false;
    for (int i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
        fatSectors.append(u32(0x4C + 4 * i));
    quint32 difat = u32(0x44);
    for (qint64 guard = 0; fatSectors.size() < fatCount && guard < sectors; ++guard) {
        const qint64 at = sectorAt(difat);
        if (at < 0)
            return false;
        for (qint64 i = 0; i < perSector - 1 && fatSectors.size() < fatCount; ++i)
            fatSectors.append(u32(at + 4 * i));
        difat = u32(at + 4 * (perSector - 1));
    }
    const auto next = [&](quint32 sector) -> quint32 {
        const qint64 index = sector / perSector;
        const qint64 at = index < fatSectors.size() ? sectorAt(fatSectors.at(index)) : -1;
        return at < 0 ? 0xFFFFFFFE : u32(at + 4 * (sector % perSector));
    };

    const QString wanted = QStringLiteral("EncryptedPackage");
    quint32 sector = u32(0x30);
    // The guard stops a chain that loops back on itself.
    for (qint64 guard = 0; guard < sectors; ++guard, sector = next(sector)) {
        const qint64 at = sectorAt(sector);
        if (at < 0)
            return false;
        for (qint64 entry = at; entry < at + sectorSize; entry += 128) {
            const quint32 nameBytes = u16(entry + 64);
            if (file.at(entry + 66) != 2 || nameBytes != 2 * (wanted.size() + 1))
                continue; // not a stream, or a name of another length
            QString name;
            for (int i = 0; i < wanted.size(); ++i)
                name.append(QChar(char16_t(u16(entry + 2 * i))));
            if (name.compare(wanted, Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

// ---- .xls ----

// freexl hands dates and times over as ISO text, without the cell's format; they read as a
// German sheet shows them unless formatted otherwise.
QString dateText(const FreeXL_CellValue &value)
{
    const QString text = QString::fromUtf8(value.value.text_value);
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    const QTime time = QTime::fromString(text.right(8), QStringLiteral("HH:mm:ss"));
    const QString dateShown = date.toString(QStringLiteral("dd.MM.yyyy"));
    const QString timeShown = time.toString(QStringLiteral("HH:mm:ss"));
    switch (value.type) {
    case FREEXL_CELL_DATE:
        return date.isValid() ? dateShown : text;
    case FREEXL_CELL_TIME:
        return time.isValid() ? timeShown : text;
    default:
        return date.isValid() && time.isValid() ? dateShown + QLatin1Char(' ') + timeShown : text;
    }
}

bool readXls(const QString &fileName, Grid &grid, QString &reason)
{
    const void *handle = nullptr;
    const int opened = freexl_open(QFile::encodeName(fileName).constData(), &handle);
    // freexl wants its handle closed even after a failed open.
    struct Closer
    {
        const void *&handle;
        ~Closer()
        {
            if (handle)
                freexl_close(handle);
        }
    } closer{handle};

    unsigned int info = 0;
    if (handle && freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED) {
        reason = passwordReason();
        return false;
    }
    if (opened == FREEXL_BIFF_WORKBOOK_NOT_FOUND) {
        reason = QStringLiteral("Die Datei ist keine Arbeitsmappe.");
        return false;
    }
    if (opened != FREEXL_OK) {
        reason = damaged(QStringLiteral("die .xls-Datei lässt sich nicht lesen."));
        return false;
    }
    unsigned int sheets = 0;
    unsigned int rowCount = 0;
    unsigned short columnCount = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK) {
        reason = damaged(QStringLiteral("die .xls-Datei lässt sich nicht lesen."));
        return false;
    }
    if (sheets == 0) {
        reason = QStringLiteral("Die Arbeitsmappe enthält kein Tabellenblatt.");
        return false;
    }
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rowCount, &columnCount) != FREEXL_OK) {
        reason = damaged(QStringLiteral("das erste Tabellenblatt lässt sich nicht lesen."));
        return false;
    }
    // No .xls holds more than 65536 rows and 256 columns, so dimensions beyond the limits lie.
    if (rowCount > unsigned(MaxWorkbookRows) || columnCount > MaxWorkbookColumns) {
        reason = damaged(QStringLiteral("das erste Tabellenblatt ist zu groß."));
        return false;
    }
    for (unsigned int row = 0; row < rowCount; ++row) {
        for (unsigned short column = 0; column < columnCount; ++column) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(handle, row, column, &value) != FREEXL_OK) {
                reason = damaged(QStringLiteral("eine Zelle lässt sich nicht lesen."));
                return false;
            }
            QString text;
            switch (value.type) {
            case FREEXL_CELL_INT:
                text = QString::number(value.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                if (!std::isfinite(value.value.double_value)) {
                    reason = damaged(QStringLiteral("ungültige Zahl."));
                    return false;
                }
                text = numberText(value.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                text = QString::fromUtf8(value.value.text_value);
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                text = dateText(value);
                break;
            default:
                break;
            }
            if (!grid.put(row, column, text, reason))
                return false;
        }
    }
    return true;
}

} // namespace

namespace {

bool readInto(const QString &fileName, Grid &grid, QString &reason)
{
    const QFileInfo info(fileName);
    if (!info.exists()) {
        reason = QStringLiteral("Die Datei gibt es nicht.");
        return false;
    }
    // Only a regular file: reading a FIFO or device picked by mistake would never end.
    if (!info.isFile()) {
        reason = QStringLiteral("Das ist keine gewöhnliche Datei.");
        return false;
    }
    const QString tooLarge =
        QStringLiteral("Die Datei ist größer als %1 MB.").arg(megabytes(MaxWorkbookFileBytes));
    if (info.size() > MaxWorkbookFileBytes) {
        reason = tooLarge;
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = QStringLiteral("Die Datei lässt sich nicht öffnen.");
        return false;
    }
    const QByteArray bytes = file.read(MaxWorkbookFileBytes + 1);
    file.close();
    if (bytes.size() > MaxWorkbookFileBytes) {
        reason = tooLarge; // it grew since it was measured
        return false;
    }

    if (bytes.startsWith(QByteArrayView(ZipMagic, 4)))
        return readXlsx(bytes, grid, reason);
    if (bytes.startsWith(QByteArrayView(CompoundMagic, 8))) {
        if (holdsEncryptedPackage(bytes)) {
            reason = passwordReason();
            return false;
        }
        return readXls(fileName, grid, reason);
    }
    reason = QStringLiteral("Die Datei ist keine Arbeitsmappe.");
    return false;
}

} // namespace

bool readWorkbook(const QString &fileName, QList<QStringList> &rows, QString &reason)
{
    Grid grid;
    if (!readInto(fileName, grid, reason))
        return false;
    rows.swap(grid.rows);
    return true;
}

bool readWorkbookList(const QString &fileName, int columns, QList<QStringList> &rows,
                      QString &reason)
{
    Grid grid(std::max(columns, 1));
    if (!readInto(fileName, grid, reason) || !grid.endList(reason))
        return false;
    rows.swap(grid.rows);
    return true;
}
