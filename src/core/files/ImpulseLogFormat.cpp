#include "ImpulseLogFormat.h"

#include <QStringList>

namespace {
QString oneLine(QString text)
{
    for (QChar &c : text) {
        // Besides the control characters, the separators some viewers break lines at.
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || u == 0x85 || u == 0x2028 || u == 0x2029)
            c = QLatin1Char(' ');
    }
    return text;
}

QString secondsText(qint32 ms)
{
    if (ms < 0)
        return QStringLiteral("-");
    return QStringLiteral("%1,%2").arg(ms / 1000).arg(ms % 1000, 3, 10, QLatin1Char('0'));
}
} // namespace

QString impulseLogName(const QDate &day)
{
    return QStringLiteral("rittmeter-%1.log").arg(day.toString(QStringLiteral("yyyy-MM-dd")));
}

QString impulseLogHeading()
{
    return QStringLiteral("Datum\tUhrzeit\tEreignis\tQuelle\tLaufzeit s\tStartnummer\tProzess\t"
                          "R.-Zeit s\tStrafsekunden");
}

QString impulseLogLine(const ImpulseRecord &record)
{
    const bool timed = record.elapsedMs >= 0 && record.penaltyMs >= 0;
    return QStringList{record.when.toString(QStringLiteral("yyyy-MM-dd")),
                       record.when.toString(QStringLiteral("hh:mm:ss.zzz")),
                       oneLine(record.event),
                       oneLine(record.source),
                       secondsText(record.elapsedMs),
                       oneLine(record.startNumber),
                       QString::number(record.process),
                       timed ? secondsText(record.elapsedMs - record.penaltyMs)
                             : QStringLiteral("-"),
                       timed ? QString::number(record.penaltyMs / 1000) : QStringLiteral("-")}
        .join(QLatin1Char('\t'));
}
