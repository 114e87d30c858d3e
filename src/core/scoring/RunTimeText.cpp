#include "RunTimeText.h"

QString FormatRunTime(qint64 ms, int decimals)
{
    const qint64 cs = ms / 10;
    const qint64 secs = cs / 100;
    switch (decimals) {
    case 0:
        return QString::number(secs);
    case 1:
        return QString::number(secs) + QLatin1Char(',') + QString::number((cs / 10) % 10);
    default:
        return QString::number(secs) + QLatin1Char(',') +
               QStringLiteral("%1").arg(cs % 100, 2, 10, QLatin1Char('0'));
    }
}
