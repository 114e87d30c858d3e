#include "ProtocolRow.h"

#include "LocaleNumbers.h"
#include "RunTimeText.h"

#include <cmath>

namespace {
QChar starterSeparator(const QString &item)
{
    return item.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(';');
}
} // namespace

QString StartNumberKey(const QString &text)
{
    const qsizetype end = text.indexOf(starterSeparator(text));
    const QString key = end < 0 ? text : text.left(end);
    // A saved row without a start number holds a blank there; it names no rider either.
    return key.trimmed().isEmpty() ? QString() : key;
}

QString StarterItem(const QStringList &row)
{
    QString item;
    for (int c = ColStartNumber; c <= ColClub; ++c)
        item += row.value(c) + u'\t';
    return item;
}

QStringList StarterFields(const QString &item)
{
    QStringList fields = item.split(starterSeparator(item));
    for (QString &field : fields) {
        qsizetype blanks = 0;
        while (blanks < field.size() && field.at(blanks) == QLatin1Char(' '))
            ++blanks;
        field.remove(0, blanks);
    }
    return fields;
}

namespace {
qint64 roundedMs(double secs)
{
    return qint64(std::nearbyint(secs * 1000.0));
}
} // namespace

bool buildProtocolRow(const RunEntry &entry, QStringList &row, QString *error)
{
    double S = 0, H = 0, Z = 0;
    if (!LocaleNumbers::typedToDouble(entry.penaltyText, S, error) ||
        !LocaleNumbers::typedToDouble(entry.faultText, H, error) ||
        !LocaleNumbers::toDouble(entry.timeFaultText, Z, error))
        return false;

    QStringList cells(ProtocolColumnCount);
    cells[ColStartNumber] = StartNumberKey(entry.startNumber);
    cells[ColHeadNumber] = entry.headNumber;
    cells[ColHorse] = entry.horse;
    cells[ColRider] = entry.rider;
    cells[ColClub] = entry.club;
    cells[ColRideTime] = entry.abortText;
    cells[ColTimeFaults] = entry.timeFaultText;
    cells[ColPenalty] = LocaleNumbers::shortest(S);
    cells[ColFaults] = LocaleNumbers::shortest(H);

    // The clock ran through the penalty seconds; the riding time is what is left.
    const qint64 R = entry.clockMs - roundedMs(S);
    if (R <= 0) {
        cells[ColPoints] = entry.abortText;
        cells[ColTotalTime] = entry.abortText;
    } else {
        double P = 0, T = 0;
        switch (entry.procedure) {
        case JudgingProcedure::A:
            P = H + Z;
            T = S;
            break;
        case JudgingProcedure::C: // each obstacle fault counts as one second
            P = H;
            T = S + H;
            break;
        case JudgingProcedure::CFahren:
            P = H + Z;
            T = P + S;
            break;
        }
        cells[ColRideTime] = FormatRunTime(R, entry.decimals);
        cells[ColPoints] = LocaleNumbers::fixed2(P);
        cells[ColTotalTime] = FormatRunTime(roundedMs(T) + R, entry.decimals);
    }
    cells[ColRank] = entry.headNumber; // until the ranking writes the rank
    row = cells;
    return true;
}

QString JudgingProcedureName(JudgingProcedure procedure)
{
    switch (procedure) {
    case JudgingProcedure::C:
        return QStringLiteral("C");
    case JudgingProcedure::CFahren:
        return QStringLiteral("C fahren");
    case JudgingProcedure::A:
        break;
    }
    return QStringLiteral("A");
}
