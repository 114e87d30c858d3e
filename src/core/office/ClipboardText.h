#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The protocol as the clipboard takes it: a line per row, tabs between the cells, every line
// ended by CR LF. A cell with a semicolon, a quote, a tab or a line break is put in double quotes
// with its quotes doubled, so a spreadsheet pastes it into one cell.
QString clipboardText(const QList<QStringList> &rows);
