#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Reads the first worksheet of a workbook: ".xlsx" (Office Open XML) or an old ".xls" (BIFF),
// told apart by their content, not their name. rows[r][c] is the cell of sheet row r + 1 and
// column c + 1 as text; cells the sheet leaves out are empty. A whole number reads without
// decimals ("12"), any other number with a decimal comma ("63,4"). False, with reason in German,
// when the file is no workbook, is damaged, protected by a password, or larger than the limits.
bool readWorkbook(const QString &fileName, QList<QStringList> &rows, QString &reason);
