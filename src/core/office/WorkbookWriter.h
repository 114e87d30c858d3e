#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct WorkbookProperties
{
    QString author, title, subject;
    QString sheetName;
};

// The protocol as a workbook (".xlsx"): rows[0] the headings in bold with hairline borders,
// then the entries, every cell with thin borders, the column widths fitted to the longest text.
// numeric[c] says whether column c holds numbers (times, points, faults, ranks): a cell there
// that reads as a number ("61,27", "4") is written as one, with two decimals or none, so a
// spreadsheet can sum and sort it; any other cell stays text. False with the reason when the
// workbook could not be made.
bool workbookBytes(const QList<QStringList> &rows, const QList<bool> &numeric,
                   const WorkbookProperties &properties, QByteArray &bytes, QString &reason);
