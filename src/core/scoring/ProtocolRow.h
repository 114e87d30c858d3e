#pragma once

#include <QStringList>

// Columns of a protocol row; row 0 of the grid and of every file holds their headings.
enum ProtocolColumn
{
    ColStartNumber = 0,
    ColHeadNumber,
    ColHorse,
    ColRider,
    ColClub,
    ColRideTime,
    ColTimeFaults,
    ColPenalty,
    ColFaults,
    ColPoints,
    ColTotalTime,
    ColRank,
    ProtocolColumnCount
};

enum class JudgingProcedure
{
    A,
    C,
    CFahren
};

// The procedure's name as the kept session and the live results write it: "A", "C", "C fahren".
QString JudgingProcedureName(JudgingProcedure procedure);

// The start-number items carry further fields; the text before the first tab (before the first
// semicolon in an item without tabs) is what identifies a rider's row. Blanks alone are empty.
QString StartNumberKey(const QString &text);

// The start-number item of a loaded protocol row: its first five cells, each followed by a tab.
QString StarterItem(const QStringList &row);

// The fields of a starter item: start number, head number, horse, rider, club, ... Fields run from
// one tab to the next, so an empty field keeps its place; an item without tabs splits at
// semicolons. Leading blanks of a field are skipped.
QStringList StarterFields(const QString &item);

// Everything a finished (or aborted) run contributes to its protocol row, as the fields show it.
struct RunEntry
{
    QString startNumber; // the start-number field, tabs and all
    QString headNumber;
    QString horse;
    QString rider;
    QString club;
    qint64 clockMs = 0;    // STOP minus START, penalty seconds included
    QString penaltyText;   // penalty seconds field
    QString faultText;     // obstacle faults field
    QString timeFaultText; // time faults field, copied as it stands
    JudgingProcedure procedure = JudgingProcedure::A;
    QString abortText = QStringLiteral("EL"); // result of a run without a positive riding time
    int decimals = 2;
};

// Builds the 12 cells. A scoring field that does not read as a number fails the whole row:
// false, with the conversion message in *error, and row untouched.
bool buildProtocolRow(const RunEntry &entry, QStringList &row, QString *error = nullptr);
