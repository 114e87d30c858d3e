#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QStringList>

#include <array>

// The result fields exchanged with the tournament program. A field's position is the protocol
// column it feeds, except FEHLER: see the reader.
inline constexpr int TorisFieldCount = 11;
extern const char *const TorisFieldNames[TorisFieldCount];

// The tournament program's dBase table as last imported. It is kept for the whole run, so that
// results go back in the structure they came in; each export merges the protocol into it.
struct TorisTable
{
    static constexpr int HeaderSize = 32;
    static constexpr int DescriptorSize = 32;
    static constexpr int MaxFields = 128;
    // Header bytes: record count (4), header length (2), record length (2).
    static constexpr int RecordCountOffset = 4;
    static constexpr int HeaderLengthOffset = 8;
    static constexpr int RecordLengthOffset = 10;
    // Descriptor bytes: name (11), type, ..., length.
    static constexpr int TypeOffset = 11;
    static constexpr int LengthOffset = 16;

    // dBase numbers are little-endian, of 1 to 4 bytes.
    static quint32 readLe(QByteArrayView bytes, int at, int size);
    static void writeLe(QByteArray &bytes, int at, quint32 value, int size);

    // The file header as read; all zero until a table is imported or made.
    QByteArray header = QByteArray(HeaderSize, '\0');
    // One 32-byte descriptor per field, in file order.
    QByteArray fields;
    // Per entry of TorisFieldNames, the column of the field with that name; -1 when none.
    std::array<int, TorisFieldCount> columnMap = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    // Row 0 holds the field names, then one row of field texts per record.
    QList<QStringList> rows = {QStringList()};
    // Per record: the whole record as read when it is flagged deleted, written back unchanged;
    // empty for a live record.
    QList<QByteArray> deletedRecords;

    bool hasFieldTable() const { return !fields.isEmpty(); }
    int fieldCount() const { return int(fields.size() / DescriptorSize); }
    int fieldLength(int field) const;
    int recordLength() const;
    int recordCount() const { return int(rows.size()) - 1; }
    bool isDeleted(int row) const { return !deletedRecords.value(row - 1).isEmpty(); }

    // Fills columnMap from the names in row 0, letter case aside.
    void mapColumns();

    // A new table of the eleven result fields, as text fields wide enough for the protocol's
    // entries, dated today and without records.
    static TorisTable fresh(const QDate &today);
};

// Writes the protocol's data rows (cells by protocol column) into the table. A row updates the
// record of its start number (of its horse, in a file without start numbers) whose horse is the
// same and where at least three of head number, horse, rider and club agree; otherwise it becomes
// a new record. Empty rows are left out.
void MergeProtocolIntoToris(TorisTable &table, const QList<QStringList> &protocolRows);
