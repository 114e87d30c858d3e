#include "DosUmlauts.h"

#include <array>

namespace {
struct DosLetter
{
    unsigned char dos;
    char16_t letter;
};

constexpr DosLetter DosLetters[] = {{0x84, u'ä'}, {0x94, u'ö'}, {0x81, u'ü'}, {0x8E, u'Ä'},
                                    {0x99, u'Ö'}, {0x9A, u'Ü'}, {0xE1, u'ß'}};

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves undefined read as the C1 controls of
// the same number, as Windows itself reads them, so they survive a round trip.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct Tables
{
    std::array<char16_t, 256> decode{};
    // Bytes for the characters below U+0100; -1 where no byte reads back as the character.
    std::array<short, 256> encodeLow{};
};

const Tables &tables()
{
    static const Tables t = [] {
        Tables t;
        for (int b = 0; b < 256; ++b)
            t.decode[b] = b >= 0x80 && b < 0xA0 ? Windows1252High[b - 0x80] : char16_t(b);
        for (const DosLetter &l : DosLetters)
            t.decode[l.dos] = l.letter;
        t.encodeLow.fill(-1);
        for (int b = 0; b < 256; ++b) {
            const char16_t c = t.decode[b];
            if (c < 0x100 && t.encodeLow[c] < 0)
                t.encodeLow[c] = short(b);
        }
        // A letter two bytes read as (ä from 0x84 and 0xE4) is written in the DOS code page,
        // which the tournament program reads.
        for (const DosLetter &l : DosLetters)
            t.encodeLow[l.letter] = l.dos;
        return t;
    }();
    return t;
}

char encodeChar(char16_t c, const Tables &t)
{
    if (c < 0x100)
        return t.encodeLow[c] < 0 ? '?' : char(t.encodeLow[c]);
    for (int i = 0; i < 32; ++i) {
        if (t.decode[0x80 + i] == c)
            return char(0x80 + i);
    }
    return '?';
}
} // namespace

QString OemToAnsiUmlauts(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    const Tables &t = tables();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(t.decode[static_cast<unsigned char>(bytes[i])]);
    return text;
}

qsizetype AnsiToOemUmlautsInto(QStringView text, char *out, qsizetype size)
{
    const Tables &t = tables();
    qsizetype written = 0;
    for (qsizetype i = 0; i < text.size() && written < size; ++i) {
        const QChar c = text[i];
        // A character beyond the basic plane is one "?", not two.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        out[written++] = c.isSurrogate() ? '?' : encodeChar(c.unicode(), t);
    }
    return written;
}

QByteArray AnsiToOemUmlauts(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bytes.truncate(AnsiToOemUmlautsInto(text, bytes.data(), bytes.size()));
    return bytes;
}
