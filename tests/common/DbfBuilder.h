#pragma once

#include <QByteArray>
#include <QList>

// dBase III files byte by byte, as the tournament program lays them out, not by the code tested.
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

    int headerLength(bool asWritten = false) const
    {
        return 32 * (int(fields.size()) + 1) + (zeroAfterTerminator || asWritten ? 2 : 1);
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

    // asWritten: as the program writes back; else with another program's leftovers in the
    // descriptors (an address in bytes 12 to 15, a work area in byte 18).
    QByteArray build(bool asWritten = false) const
    {
        QByteArray file(32, '\0');
        file[0] = 0x03;
        file.replace(1, 3, QByteArray("\x7a\x05\x11", 3)); // 2022-05-17
        putLe(file, 4, quint32(records.size()), 4);
        putLe(file, 8, quint32(headerLength(asWritten)), 2);
        putLe(file, 10, quint32(recordLength()), 2);
        file[29] = 0x57; // language driver, kept as it is
        for (const Field &f : fields) {
            QByteArray d(32, '\0');
            d.replace(0, int(qMin(f.name.size(), qsizetype(11))), f.name.left(11));
            d[11] = f.type;
            if (!asWritten) {
                putLe(d, 12, 0xDEADBEEF, 4);
                d[18] = 0x07;
            }
            d[16] = char(f.length);
            d[20] = 0x01;
            file += d;
        }
        file += headerLength(asWritten) % 32 == 2 ? QByteArray("\x0D\0", 2) : QByteArray("\x0D");
        for (int r = 0; r < records.size(); ++r) {
            file += flags.value(r, ' ');
            for (int i = 0; i < fields.size(); ++i) {
                const QByteArray text = records.at(r).value(i).left(fields.at(i).length);
                file += text + QByteArray(fields.at(i).length - text.size(), ' ');
            }
            file += QByteArray(spareRecordBytes, ' ');
        }
        return file + '\x1A';
    }
};
