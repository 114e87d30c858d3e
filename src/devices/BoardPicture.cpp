#include "BoardPicture.h"

#include "BoardLines.h"
#include "LiveSnapshot.h"
#include "LocaleNumbers.h"

#include <cmath>

QString boardShowsKey(BoardShows shows)
{
    return shows == BoardShows::Faults ? QStringLiteral("fehler") : QStringLiteral("zeit");
}

BoardShows boardShowsFromKey(const QString &key)
{
    return key == QLatin1String("fehler") ? BoardShows::Faults : BoardShows::Time;
}

namespace {
// The rank as the result shows it ("3", "3."): its digits; 0 for none.
int rankNumber(const QString &rank)
{
    QString digits;
    for (const QChar c : rank)
        if (c.isDigit())
            digits += c;
    return digits.toInt();
}

// A half-typed or empty field counts as 0, as it does on the operator's window.
double fieldValue(const QString &text)
{
    double value = 0;
    return LocaleNumbers::typedToDouble(text, value) ? value : 0;
}

int boardFaults(const LiveSnapshot::Scoring &scoring)
{
    const double total = fieldValue(scoring.faults) + fieldValue(scoring.timeFaults);
    if (!(total > 0)) // NaN too
        return 0;
    return int(std::min(99.0, std::floor(total)));
}
} // namespace

BoardPicture boardPicture(const LiveSnapshot &snapshot, quint32 now, BoardShows shows,
                          bool countdown)
{
    const QString &number = snapshot.starter.startNumber;
    if (shows == BoardShows::Faults)
        return {BoardLines::faults(number, boardFaults(snapshot.scoring)), false};

    const LiveRun &run = snapshot.run;
    const qint32 shown = run.shownHundredths(now);
    switch (run.phase) {
    case RunPhase::Running:
        return {BoardLines::runningTenths(number, shown), !run.standing};
    case RunPhase::Countdown:
        if (countdown)
            return {BoardLines::runningSeconds(number, shown), !run.standing};
        return {BoardLines::finalTime(number, -1, 0), false};
    case RunPhase::Held:
    case RunPhase::Stopped:
    case RunPhase::Aborted:
        return {BoardLines::finalTime(number, shown, 0), false};
    case RunPhase::Entered:
        return {BoardLines::finalTime(number, shown, rankNumber(snapshot.result.rank)), false};
    case RunPhase::Idle:
        break;
    }
    return {BoardLines::finalTime(number, -1, 0), false};
}
