#pragma once

// The character sets a language file can be written in, in the order the settings list them;
// CharSet indexes this table.
struct CharsetEntry
{
    const char *name;
    int fontCharset; // the Windows font character set of that name
};

inline constexpr CharsetEntry CharsetTable[16] = {
    {"DEFAULT", 1},  {"ANSI", 0},     {"EASTEUROPE", 238},  {"RUSSIAN", 204},
    {"ARABIC", 178}, {"GREEK", 161},  {"TURKISH", 162},     {"BALTIC", 186},
    {"THAI", 222},   {"MAC", 77},     {"SHIFTJIS", 128},    {"HANGEUL", 129},
    {"JOHAB", 130},  {"GB2312", 134}, {"CHINESEBIG5", 136}, {"HEBREW", 177},
};
