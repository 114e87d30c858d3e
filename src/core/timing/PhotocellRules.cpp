#include "PhotocellRules.h"

namespace {
bool lineMatches(quint32 status, int contact, bool readOff)
{
    if (contact < 0 || contact > 2)
        return false;
    return bool(status & LineMasks[contact]) != readOff;
}
} // namespace

LineChange ClassifyLineChange(quint32 lastState[3], int senderPort, int port1, int port2, int kont1,
                              int kont2, int algorithm, quint32 status)
{
    // A normally closed contact's edge leaves its line off, so that is what identifies it.
    const bool readOff = algorithm == 1;
    int kind = 0;
    int contact = 0;
    if (senderPort == port1 && lineMatches(status, kont1, readOff)) {
        kind = 1;
        contact = kont1;
    } else if (senderPort == port2 && lineMatches(status, kont2, readOff)) {
        kind = 2;
        contact = kont2;
    } else {
        // The next matching change is always new.
        lastState[0] = lastState[1] = lastState[2] = 0x55555555;
    }
    const quint32 mask = LineMasks[contact];
    if (status == lastState[kind]) {
        lastState[kind] = status & mask;
        return {kind, false};
    }
    const quint32 masked = status & mask;
    lastState[kind] = masked;
    const bool on = masked != 0;
    return {kind, (algorithm == 0 && on) || (algorithm == 1 && !on)};
}

QString PhotocellTimeText(const QTime &time)
{
    return QString::asprintf("%d:%2d.%2d,%2d", time.hour(), time.minute(), time.second(),
                             time.msec() / 10)
        .replace(QLatin1Char(' '), QLatin1Char('0'));
}

QString PhotocellEntry(int kind, const QTime &time)
{
    return QString::asprintf("%d. ", kind) + PhotocellTimeText(time);
}
