#include "TimerLine.h"

QString timerModelKey(TimerModel model)
{
    switch (model) {
    case TimerModel::Tdc8001:
        return QStringLiteral("tdc8001");
    case TimerModel::Tdc8000:
        return QStringLiteral("tdc8000");
    case TimerModel::Timy:
        break;
    }
    return QStringLiteral("timy");
}

TimerModel timerModelFromKey(const QString &key)
{
    if (key == QLatin1String("tdc8001"))
        return TimerModel::Tdc8001;
    if (key == QLatin1String("tdc8000"))
        return TimerModel::Tdc8000;
    return TimerModel::Timy;
}

bool TimerLine::live() const
{
    return status == ' ' || status == '?' || status == 'n';
}

TimerLine parseTimerLine(TimerModel, const QByteArray &line)
{
    TimerLine parsed;
    parsed.raw = line;
    parsed.fault = TimerLine::Garbage;
    return parsed;
}

QByteArray timerChecksum(const QByteArray &)
{
    return {};
}

qint64 stampRunTime(qint64, qint64)
{
    return -1;
}

QString stampText(qint64)
{
    return {};
}
