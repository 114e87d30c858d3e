#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Row 0 holds the headings, further rows the entries; each inner list is one row's cells.
using ProtocolRows = QList<QStringList>;

// A line with a tab splits at tabs, any other at semicolons. Every separator counts, so an empty
// field keeps its place; a field of blanks is empty, one separator at the end of the line closes
// the last field and fields past `columns` are dropped. An empty line has no fields.
QStringList splitImportLine(const QString &line, int columns);

// Lines end in CR LF, LF or CR. Empty lines at the end of the file are dropped; an empty line
// within stays as an empty row.
ProtocolRows parseTextList(const QString &text, int columns);

// Tab after every cell, a blank for an empty cell, CR LF line ends, UTF-8 without a byte-order
// mark. Tabs and line breaks within a cell are written as blanks.
QByteArray writeTextProtocol(const ProtocolRows &rows);

// Semicolon-separated with a UTF-8 byte-order mark, CR LF line ends; a cell holding a semicolon,
// a double quote or a line break is quoted.
QByteArray writeCsv(const ProtocolRows &rows);

// The name a save offers: the local date and minute, "yyyy-MM-dd-hh-mm".
QString DefaultExportName(const QDateTime &now);
