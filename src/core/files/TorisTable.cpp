#include "TorisTable.h"

#include <QHash>

#include <algorithm>

const char *const TorisFieldNames[TorisFieldCount] = {"STARTNUM", "KOPFNR",    "PFNAM", "NAME",
                                                      "VNAME",    "ZEITFEHL1", "ZEIT1", "ZEITFEHL2",
                                                      "ZEIT2",    "PLATZ",     "FEHLER"};

namespace {
// Widths of a table made here: the protocol's texts, with room for long names and clubs.
constexpr int FreshFieldLengths[TorisFieldCount] = {6, 10, 40, 40, 40, 10, 10, 10, 10, 10, 10};

bool isEmptyRow(const QStringList &row)
{
    for (int k = 0; k < TorisFieldCount && k < row.size(); ++k) {
        if (!row.at(k).isEmpty())
            return false;
    }
    return true;
}
} // namespace

quint32 TorisTable::readLe(QByteArrayView bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | quint8(bytes[at + i]);
    return value;
}

void TorisTable::writeLe(QByteArray &bytes, int at, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

int TorisTable::fieldLength(int field) const
{
    return int(readLe(fields, field * DescriptorSize + LengthOffset, 1));
}

int TorisTable::recordLength() const
{
    return int(readLe(header, RecordLengthOffset, 2));
}

void TorisTable::mapColumns()
{
    const QStringList &names = rows.constFirst();
    for (int k = 0; k < TorisFieldCount; ++k) {
        const QString name = QString::fromLatin1(TorisFieldNames[k]);
        const auto it = std::find_if(names.cbegin(), names.cend(), [&](const QString &n) {
            return n.compare(name, Qt::CaseInsensitive) == 0;
        });
        columnMap[k] = it == names.cend() ? -1 : int(it - names.cbegin());
    }
}

TorisTable TorisTable::fresh(const QDate &today)
{
    TorisTable table;
    table.header[0] = 0x03; // dBase III without memo file
    table.header[1] = char(today.year() - 1900);
    table.header[2] = char(today.month());
    table.header[3] = char(today.day());
    int recordLength = 1;
    QStringList names;
    for (int k = 0; k < TorisFieldCount; ++k) {
        QByteArray descriptor(DescriptorSize, '\0');
        const QByteArray name(TorisFieldNames[k]);
        std::copy(name.cbegin(), name.cend(), descriptor.begin());
        descriptor[TypeOffset] = 'C';
        descriptor[LengthOffset] = char(FreshFieldLengths[k]);
        table.fields += descriptor;
        recordLength += FreshFieldLengths[k];
        names << QString::fromLatin1(name);
    }
    writeLe(table.header, RecordLengthOffset, quint32(recordLength), 2);
    table.rows = {names};
    table.mapColumns();
    return table;
}

void MergeProtocolIntoToris(TorisTable &table, const QList<QStringList> &protocolRows)
{
    constexpr int Keys = 5; // start number, head number, horse, rider, club
    constexpr int Horse = 2;
    // A record is looked for by its start number; in a file without start numbers by the first
    // of horse, rider, head number and club that the file has.
    int keyPosition = -1;
    for (int k : {0, Horse, 3, 1, 4}) {
        if (keyPosition < 0 && table.columnMap[k] >= 0)
            keyPosition = k;
    }
    const int keyColumn = keyPosition < 0 ? -1 : table.columnMap[keyPosition];
    QHash<QString, QList<int>> rowsByKey;
    if (keyColumn >= 0) {
        for (int r = 1; r < table.rows.size(); ++r) {
            if (!table.isDeleted(r))
                rowsByKey[table.rows.at(r).at(keyColumn)].append(r);
        }
    }
    // A field the file lacks does not speak against a record.
    auto agrees = [&](const QStringList &record, const QStringList &protocol, int k) {
        const int column = table.columnMap[k];
        return column < 0 || record.at(column) == protocol.value(k);
    };
    const int columns = table.fieldCount();

    for (const QStringList &protocol : protocolRows) {
        if (isEmptyRow(protocol))
            continue;
        int target = -1;
        // The first record of the start number whose horse is the same and where at least
        // three of head number, horse, rider and club agree. Each record is judged as a whole:
        // a second horse of the same name, or a record appended by an earlier export, does not
        // hide the one that fits.
        if (keyColumn >= 0) {
            const QList<int> candidates = rowsByKey.value(protocol.value(keyPosition));
            for (int row : candidates) {
                const QStringList &record = table.rows.at(row);
                int agreeing = 0;
                for (int k = 1; k < Keys; ++k)
                    agreeing += agrees(record, protocol, k);
                if (agrees(record, protocol, Horse) && agreeing >= 3) {
                    target = row;
                    break;
                }
            }
        }
        if (target < 0) {
            table.rows.append(QStringList(QList<QString>(columns)));
            table.deletedRecords.resize(table.rows.size() - 1);
            target = int(table.rows.size()) - 1;
            if (keyColumn >= 0)
                rowsByKey[protocol.value(keyPosition)].append(target);
        }
        QStringList &record = table.rows[target];
        for (int k = 0; k < TorisFieldCount; ++k) {
            const int column = table.columnMap[k];
            if (column >= 0)
                record[column] = protocol.value(k);
        }
    }
}
