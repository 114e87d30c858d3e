#pragma once

#include <QString>
#include <QtGlobal>

// Colour states of the clock.
enum : quint8
{
    ColorReady = 2,
    ColorRunning = 3,
    ColorAlarm = 4
};

// The state of the run on the course. It exists once for the whole program; the main window
// holds no timing fields of its own.
struct TRunState
{
    static constexpr quint32 NoHold = 0xFFFFFFFFu; // "-1": no hold since NEXT

    quint32 RunStartTick = 0;
    quint32 RunStopTick = 0;
    quint32 RunHoldTick = NoHold;
    bool CountdownActive = false;
    // The timing device's stamp of the run's start (1/10,000 s of the day), and the tick START
    // took then; -1 when the run was not started by a device impulse. Every START clears it.
    qint64 StartStamp = -1;
    quint32 StartStampTick = 0;
    quint8 ColorState = ColorReady;
};

inline TRunState Run;

// Elapsed milliseconds between two tick counts, across a wrap of the counter.
constexpr qint32 ticksBetween(quint32 from, quint32 to)
{
    return qint32(quint32(to - from));
}
