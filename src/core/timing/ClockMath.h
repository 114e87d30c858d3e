#pragma once

#include <QtGlobal>

// What one refresh of the clock has to do, worked out from the elapsed time alone.
struct ClockStep
{
    qint32 shown = 0;            // hundredths to show; negative shows as zero
    quint8 colorState = 2;       // the colour state after this refresh
    bool countdownAlarm = false; // the countdown entered its last 10 s: recolour the right digits
    bool recolor = false;        // the colour state changed outside the countdown
    bool countdownExpired = false;
    bool overAllowedTime = false; // count-up beyond the allowed time: time faults are due
};

ClockStep computeClockStep(qint32 elapsedMs, bool countdownActive, int countdownSeconds,
                           int allowedSeconds, quint8 colorState);

// The five clock digits for a time of s seconds and h hundredths.
struct ClockDigits
{
    int value[5] = {0, 0, 0, 0, 0}; // Digit4 .. Digit8
    bool hundredsLit = false;       // Digit4 significant (else dimmed)
    bool tensLit = false;           // Digit5 significant
};

ClockDigits splitClockDigits(qint32 seconds, qint32 hundredths);
