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
    quint8 ColorState = ColorReady;
};

inline TRunState Run;

// The audience window's bottom line; empty means it shows the date and time.
inline QString InfoText;

// Elapsed milliseconds between two tick counts, across a wrap of the counter.
constexpr qint32 ticksBetween(quint32 from, quint32 to)
{
    return qint32(quint32(to - from));
}
