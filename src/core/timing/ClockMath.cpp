#include "ClockMath.h"

ClockStep computeClockStep(qint32 elapsedMs, bool countdownActive, int countdownSeconds,
                           int allowedSeconds, quint8 colorState)
{
    ClockStep step;
    step.colorState = colorState;
    qint32 t = elapsedMs / 10; // truncated, never rounded

    if (countdownActive) {
        t = countdownSeconds * 100 - t;
        if (t < 1001 && colorState != 4) {
            step.colorState = 4;
            step.countdownAlarm = true;
        }
        if (t < 1)
            step.countdownExpired = true;
    } else if (t > qint64(allowedSeconds) * 100) {
        step.overAllowedTime = true;
        if (colorState != 4) {
            step.colorState = 4;
            step.recolor = true;
        }
    } else if (colorState != 3) {
        step.colorState = 3;
        step.recolor = true;
    }
    step.shown = t;
    return step;
}

ClockDigits splitClockDigits(qint32 s, qint32 h)
{
    ClockDigits d;
    d.value[0] = s / 100;
    d.value[1] = (s / 10) % 10;
    d.value[2] = s % 10;
    d.value[3] = h / 10;
    d.value[4] = h % 10;
    d.hundredsLit = s > 99;
    d.tensLit = s > 9;
    return d;
}
