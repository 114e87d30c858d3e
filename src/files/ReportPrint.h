#pragma once

#include "HtmlReport.h"

class QPrinter;

// The results as the printout shows them: the title, the heading lines, then the nine columns
// of the page, the heading row at the top of every page. Drawn directly: a text document takes
// seconds to lay out the table of a large competition. False when the printer cannot be drawn
// on.
bool printReport(QPrinter &printer, const QList<QStringList> &rows, const HtmlReportTexts &texts);
