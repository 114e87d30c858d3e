#pragma once

// The character sets a language file can be written in, in the order the settings list them;
// CharSet indexes this table.
struct CharsetEntry
{
    const char *name;
    int fontCharset;      // the Windows font character set of that name
    const char *codePage; // the iconv name of the code page language files are decoded in
};

inline constexpr CharsetEntry CharsetTable[16] = {
    {"DEFAULT", 1, "WINDOWS-1252"},
    {"ANSI", 0, "WINDOWS-1252"},
    {"EASTEUROPE", 238, "WINDOWS-1250"},
    {"RUSSIAN", 204, "WINDOWS-1251"},
    {"ARABIC", 178, "WINDOWS-1256"},
    {"GREEK", 161, "WINDOWS-1253"},
    {"TURKISH", 162, "WINDOWS-1254"},
    {"BALTIC", 186, "WINDOWS-1257"},
    {"THAI", 222, "WINDOWS-874"},
    {"MAC", 77, "MACINTOSH"},
    {"SHIFTJIS", 128, "SHIFT_JIS"},
    {"HANGEUL", 129, "CP949"},
    {"JOHAB", 130, "JOHAB"},
    {"GB2312", 134, "GB2312"},
    {"CHINESEBIG5", 136, "BIG5"},
    {"HEBREW", 177, "WINDOWS-1255"},
};

// The code page of a character set; one outside the table is the first row's.
constexpr const char *charsetCodePage(int charSet)
{
    return CharsetTable[charSet >= 0 && charSet < 16 ? charSet : 0].codePage;
}
