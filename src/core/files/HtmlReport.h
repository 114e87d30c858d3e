#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The texts of the results page besides the protocol.
struct HtmlReportTexts
{
    QString title;        // the protocol's title, as the language gives it
    QString line1, line2; // the two heading lines; an empty one is left out
};

// The results page of the protocol: rows[0] the headings, further rows the entries in their
// order. Nine of the twelve columns show. Every text is escaped, so a name cannot change the
// page; the page is UTF-8 and declares it. Lines end with CR LF.
QByteArray htmlReport(const QList<QStringList> &rows, const HtmlReportTexts &texts);

// The protocol columns the page and the printout show, in their order, and how each aligns:
// rank, rider, horse, head number, club, time of the run, penalty, points, time.
struct ReportColumn
{
    int column;
    bool right;
};
inline constexpr ReportColumn ReportColumns[9] = {{11, true}, {3, false}, {2, false},
                                                  {1, true},  {4, false}, {5, true},
                                                  {7, true},  {9, true},  {10, true}};

// A cell as the page and the printout show it: its first comma a point.
QString reportCellText(const QString &cell);

// A cell as the page writes it: escaped, and an empty one a fixed blank.
QString htmlCell(const QString &cell);

// "&", "<", ">" and the double quote as entities.
QString htmlEscaped(const QString &text);
