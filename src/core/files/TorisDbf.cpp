#include "TorisDbf.h"

#include "DosUmlauts.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {
constexpr int Hdr = TorisTable::HeaderSize;
constexpr int Desc = TorisTable::DescriptorSize;
constexpr int RecordCountOffset = TorisTable::RecordCountOffset;
constexpr int HeaderLengthOffset = TorisTable::HeaderLengthOffset;
constexpr int RecordLengthOffset = TorisTable::RecordLengthOffset;
constexpr char HeaderTerminator = 0x0D;
constexpr char EndOfFile = 0x1A;
constexpr char DeletedFlag = '*';

enum Position
{
    StartNumber = 0,
    FirstTime = 5,
    LastTime = 8,
    Place = 9,
    Faults = 10
};
constexpr int FaultsColumn = 6; // a numeric FEHLER replaces ZEIT1's column

quint32 le16(QByteArrayView b, int at)
{
    return TorisTable::readLe(b, at, 2);
}

quint32 le32(QByteArrayView b, int at)
{
    return TorisTable::readLe(b, at, 4);
}

// Blanks and control characters trimmed at both ends, as the tournament program pads its fields.
QByteArrayView trimmed(QByteArrayView b)
{
    qsizetype from = 0;
    qsizetype to = b.size();
    while (from < to && quint8(b[from]) <= 0x20)
        ++from;
    while (to > from && quint8(b[to - 1]) <= 0x20)
        --to;
    return b.sliced(from, to - from);
}

// A name ends at its first NUL; what follows is left-over memory of the writing program.
QString fieldName(QByteArrayView descriptor)
{
    QByteArrayView name = descriptor.first(11);
    const qsizetype nul = name.indexOf('\0');
    if (nul >= 0)
        name = name.first(nul);
    return OemToAnsiUmlauts(trimmed(name));
}

// Whole numbers lose leading zeros and a plus sign: "007" is start number 7.
bool normaliseWhole(QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (ok)
        text = QString::number(value);
    return ok;
}

// Reads "-63,4" or "63.40" (with the given decimal mark) without asking the locale, which is
// slow for the system locale; anything else, an exponent say, is left to the locale.
bool readNumber(const QString &text, QChar decimal, const QLocale &locale, double &value)
{
    char buffer[64];
    qsizetype n = 0;
    bool digits = false;
    bool mark = false;
    for (qsizetype i = 0; i < text.size() && n < qsizetype(sizeof buffer); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() >= '0' && c.unicode() <= '9') {
            buffer[n++] = char(c.unicode());
            digits = true;
        } else if (c == decimal && !mark) {
            buffer[n++] = '.';
            mark = true;
        } else if ((c == u'-' || c == u'+') && i == 0) {
            buffer[n++] = char(c.unicode());
        } else {
            n = -1;
            break;
        }
    }
    if (n > 0 && n < qsizetype(sizeof buffer) && digits) {
        // from_chars takes no "+" and, unlike strtod, no notice of the C library's locale.
        const char *from = buffer[0] == '+' ? buffer + 1 : buffer;
        const auto [end, error] = std::from_chars(from, buffer + n, value);
        return error == std::errc() && end == buffer + n;
    }
    bool ok = false;
    value = locale.toDouble(text, &ok);
    return ok;
}

// Two decimals with the locale's mark, as "%1.2f" writes them.
bool normaliseTime(QString &text, const QLocale &locale, QChar decimal)
{
    if (decimal == u',') {
        const qsizetype dot = text.indexOf(u'.');
        if (dot >= 0)
            text[dot] = u',';
    }
    double value = 0;
    if (!readNumber(text, decimal, locale, value) || !std::isfinite(value))
        return false;
    if (value == 0)
        value = 0; // no "-0,00"
    text = QString::number(value, 'f', 2);
    if (decimal != u'.')
        text.replace(u'.', decimal);
    return true;
}

// Checks the structure, so that no read leaves the file; the field descriptors must fill the
// header up to its terminator and their lengths fit the record.
bool structureHolds(QByteArrayView file)
{
    if (file.size() < Hdr)
        return false;
    const qint64 headerLength = le16(file, HeaderLengthOffset);
    const qint64 recordLength = le16(file, RecordLengthOffset);
    if (headerLength < Hdr + Desc + 1 || headerLength % Desc == 0 || recordLength < 2)
        return false;
    if (file.size() != torisFileSize(file.first(Hdr)))
        return false;
    const int fields = int(headerLength / Desc) - 1;
    if (fields > TorisTable::MaxFields)
        return false;
    qint64 lengths = 0;
    for (int i = 0; i < fields; ++i) {
        const QByteArrayView descriptor = file.sliced(Hdr + i * Desc, Desc);
        if (descriptor[0] == HeaderTerminator) // the table ends before the header says
            return false;
        lengths += quint8(descriptor[TorisTable::LengthOffset]);
    }
    return lengths <= recordLength - 1;
}
} // namespace

qint64 torisFileSize(QByteArrayView header)
{
    if (header.size() < Hdr)
        return -1;
    return qint64(le16(header, HeaderLengthOffset)) +
           qint64(le32(header, RecordCountOffset)) * qint64(le16(header, RecordLengthOffset)) + 1;
}

std::optional<TorisImport> readTorisDbf(QByteArrayView file, const QLocale &locale)
{
    if (!structureHolds(file))
        return std::nullopt;
    const int headerLength = int(le16(file, HeaderLengthOffset));
    const int recordLength = int(le16(file, RecordLengthOffset));
    const qint64 records = le32(file, RecordCountOffset);
    const int fields = headerLength / Desc - 1;

    TorisImport result;
    TorisTable &table = result.table;
    table.header = file.first(Hdr).toByteArray();
    table.fields = file.sliced(Hdr, qsizetype(fields) * Desc).toByteArray();
    QStringList names;
    for (int i = 0; i < fields; ++i)
        names << fieldName(file.sliced(Hdr + i * Desc, Desc));
    table.rows = {names};
    table.mapColumns();
    QLocale numbers = locale;
    numbers.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    const QString mark = numbers.decimalPoint();
    const QChar decimal = mark.size() == 1 ? mark.at(0) : QChar(u'.');

    table.rows.reserve(records + 1);
    table.deletedRecords.resize(records);
    result.starters.reserve(records);
    // Records start right after the header, whether it ends with 0x0D or with 0x0D 0x00.
    for (qint64 r = 1; r <= records; ++r) {
        const QByteArrayView record =
            file.sliced(headerLength + (r - 1) * recordLength, recordLength);
        QStringList cells;
        cells.reserve(fields);
        qsizetype offset = 1;
        for (int i = 0; i < fields; ++i) {
            const int length = table.fieldLength(i);
            cells << OemToAnsiUmlauts(trimmed(record.sliced(offset, length)));
            offset += length;
        }
        // A deleted record is no starter; it goes back into the file exactly as it came.
        if (record[0] == DeletedFlag) {
            table.deletedRecords[r - 1] = record.toByteArray();
            table.rows.append(cells);
            continue;
        }

        TorisStarter starter;
        starter.cells = QStringList(QList<QString>(TorisFieldCount));
        for (int k = 0; k < TorisFieldCount; ++k) {
            const int c = table.columnMap[k];
            if (c < 0)
                continue;
            QString &cell = cells[c];
            int column = k;
            if (k == StartNumber) {
                if (cell.isEmpty())
                    cell = QString::number(r);
                else
                    normaliseWhole(cell);
            } else if (k == Place) {
                normaliseWhole(cell);
            } else if (k >= FirstTime && k <= LastTime) {
                normaliseTime(cell, numbers, decimal);
            } else if (k == Faults && normaliseTime(cell, numbers, decimal)) {
                column = FaultsColumn;
            }
            starter.cells[column] = cell;
            starter.fed |= 1u << column;
        }
        table.rows.append(cells);
        result.starters.append(starter);
    }
    return result;
}

QByteArray writeTorisDbf(TorisTable &table)
{
    const int fields = table.fieldCount();
    const int records = table.recordCount();
    const int recordLength = table.recordLength();
    const int headerLength = (fields + 1) * Desc + 2;
    if (table.header.left(4) == QByteArray(4, '\0'))
        table.header[0] = 0x03; // dBase III without memo file
    TorisTable::writeLe(table.header, RecordCountOffset, quint32(records), 4);
    TorisTable::writeLe(table.header, HeaderLengthOffset, quint32(headerLength), 2);

    QByteArray file;
    file.reserve(headerLength + qsizetype(records) * recordLength + 1);
    file += table.header;
    for (int i = 0; i < fields; ++i) {
        QByteArray descriptor = table.fields.mid(i * Desc, Desc);
        std::memset(descriptor.data() + 12, 0, 4); // the field's address in memory
        descriptor[18] = 0;                        // the work area
        file += descriptor;
    }
    file += HeaderTerminator;
    file += '\0';

    for (int r = 1; r <= records; ++r) {
        if (table.isDeleted(r)) {
            file += table.deletedRecords.at(r - 1);
            continue;
        }
        const qsizetype start = file.size();
        file.append(recordLength, ' ');
        char *record = file.data() + start;
        const QStringList &cells = table.rows.at(r);
        int offset = 1;
        for (int i = 0; i < fields; ++i) {
            const int length = table.fieldLength(i);
            AnsiToOemUmlautsInto(cells.value(i), record + offset, length);
            offset += length;
        }
    }
    file += EndOfFile;
    return file;
}
