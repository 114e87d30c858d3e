#pragma once

#include "ProtocolRow.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

// A result cell as a number. The protocol writes a comma, files from elsewhere may carry a
// point; both read alike under every locale, so an English machine ranks like a German one.
bool readResultNumber(QStringView text, double &value);

// Order of result cells (columns 5 to 11): numbers by value, then other texts (shorter first,
// then code-unit order), then "EL", "Ret.", "N.st." and empty cells. Negative, 0 or positive.
int CompareResultTexts(const QString &a, const QString &b);

// The same order worked out once per cell: cells compare by group, then value; only where both
// are equal does CompareResultTexts decide. A ranking then reads each cell once, not at every
// comparison.
struct ResultSortKey
{
    int group = 0;
    double value = 0;     // a number's value, another text's length
    bool decides = false; // numbers of equal value are equal, whatever their texts
};
ResultSortKey resultSortKey(const QString &text);

// The ranking's key columns: primary, and the secondary as the grid's column list.
struct RankKeys
{
    int primary;
    QString secondary;
};
RankKeys rankKeysFor(JudgingProcedure procedure);

// The "Rang" texts for data rows already in ranked order. A row whose time is not a number
// gets its time text (abort texts, or empty for starters without a result). Adjacent rows
// share a place only when both their points and their time texts are equal: 1, 2, 2, 4.
QStringList rankTexts(const QStringList &points, const QStringList &times);

// Width weights per column in percent of the grid's client width; column 3 takes the rest.
extern const int ProtocolColumnWeights[ProtocolColumnCount];
QVector<int> protocolColumnWidths(int clientWidth);
