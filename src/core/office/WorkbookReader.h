#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Limits of what a workbook may hold: beyond them it is refused with a reason naming the limit,
// so a wrong or hostile file can neither freeze nor exhaust the program. Parts of an .xlsx are
// measured unpacked, since a few kilobytes of a zip can unpack to gigabytes.
constexpr qint64 MaxWorkbookFileBytes = 64 * 1024 * 1024;
constexpr qint64 MaxWorkbookPartBytes = 64 * 1024 * 1024;
constexpr int MaxWorkbookRows = 100'000;
constexpr int MaxWorkbookColumns = 1024;
// Cells the returned rows may hold, empty ones before a filled one included: a few cells far
// apart must not make rows and columns within their limits add up to gigabytes.
constexpr qint64 MaxWorkbookCells = 4'000'000;

// Reads the first worksheet of a workbook: ".xlsx" (Office Open XML) or an old ".xls" (BIFF),
// told apart by their content, not their name. rows[r][c] is the cell of sheet row r + 1 and
// column c + 1 as text; cells the sheet leaves out are empty. A whole number reads without
// decimals ("12"), any other number with a decimal comma ("63,4"), a number formatted with fixed
// decimals or as a date, time or duration as the sheet shows it ("4,00", "01.05.2024",
// "01:05,27"). False, with reason in German, when the file is no workbook, is damaged, protected
// by a password, or larger than the limits.
bool readWorkbook(const QString &fileName, QList<QStringList> &rows, QString &reason);

// The list at the top of the first worksheet, read like readWorkbook: its first columns only,
// and its rows up to the first whose first cell is empty (the heading row always kept). The row
// and column limits apply to that list, not to whatever else the sheet holds.
bool readWorkbookList(const QString &fileName, int columns, QList<QStringList> &rows,
                      QString &reason);
