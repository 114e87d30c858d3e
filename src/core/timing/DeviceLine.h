#pragma once

#include "TimerLine.h"

#include <QDateTime>
#include <QList>
#include <QMetaType>

// A timing device's line with the moment it arrived: the tick of the run's time base and the
// local time of day, both taken on the reading thread as the bytes came in.
struct DeviceLine
{
    TimerLine line;
    quint32 arrivalTick = 0;
    QDateTime arrival;
};
using DeviceLines = QList<DeviceLine>;
Q_DECLARE_METATYPE(DeviceLine)
Q_DECLARE_METATYPE(DeviceLines)
