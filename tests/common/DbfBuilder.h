#pragma once

#include <QByteArray>
#include <QList>

// Builds dBase III files byte by byte, the way the tournament program lays them out, so that
// tests never depend on the reader or writer under test.
struct DbfBuilder
{
    struct Field
    {
        QByteArray name;
        int length = 10;
        char type = 'C';
    };

    QList<Field> fields;
    QList<QList<QByteArray>> records; // field texts, padded with blanks to the field length
    QList<char> flags;                // per record; blank when not given
    bool zeroAfterTerminator = false; // header ends 0x0D 0x00 instead of 0x0D alone
    int spareRecordBytes = 0;         // record bytes beyond the fields
    QByteArray date = QByteArray("\x7a\x05\x11", 3); // 2022-05-17

    int headerLength() const
    {
        return 32 * (int(fields.size()) + 1) + (zeroAfterTerminator ? 2 : 1);
    }
    int recordLength() const
    {
        int length = 1 + spareRecordBytes;
        for (const Field &f : fields)
            length += f.length;
        return length;
    }

    static void putLe(QByteArray &b, int at, quint32 value, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            b[at + i] = char((value >> (8 * i)) & 0xFF);
    }

    // A descriptor as another program may leave it: a memory address in bytes 12 to 15, a work
    // area in byte 18 and a flag in byte 20.
    static QByteArray descriptor(const Field &f, bool asWritten)
    {
        QByteArray d(32, '\0');
        for (int i = 0; i < f.name.size() && i < 11; ++i)
            d[i] = f.name.at(i);
        d[11] = f.type;
        if (!asWritten) {
            putLe(d, 12, 0xDEADBEEF, 4);
            d[18] = 0x07;
        }
        d[16] = char(f.length);
        d[20] = 0x01;
        return d;
    }

    QByteArray header(int recordCount, int headerLen) const
    {
        QByteArray h(32, '\0');
        h[0] = 0x03;
        h.replace(1, 3, date);
        putLe(h, 4, quint32(recordCount), 4);
        putLe(h, 8, quint32(headerLen), 2);
        putLe(h, 10, quint32(recordLength()), 2);
        h[29] = 0x57; // language driver, kept as it is
        return h;
    }

    QByteArray record(int r) const
    {
        QByteArray bytes(1, flags.value(r, ' '));
        for (int i = 0; i < fields.size(); ++i) {
            QByteArray text = records.at(r).value(i).left(fields.at(i).length);
            bytes += text + QByteArray(fields.at(i).length - text.size(), ' ');
        }
        return bytes + QByteArray(spareRecordBytes, ' ');
    }

    // asWritten: the layout the program writes back (0x0D 0x00, descriptor bytes 12 to 15 and
    // 18 zero).
    QByteArray build(bool asWritten = false) const
    {
        const bool zero = zeroAfterTerminator || asWritten;
        const int headerLen = 32 * (int(fields.size()) + 1) + (zero ? 2 : 1);
        QByteArray file = header(int(records.size()), headerLen);
        for (const Field &f : fields)
            file += descriptor(f, asWritten);
        file += '\x0D';
        if (zero)
            file += '\0';
        for (int r = 0; r < records.size(); ++r)
            file += record(r);
        return file + '\x1A';
    }
};
