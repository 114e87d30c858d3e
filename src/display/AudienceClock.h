#pragma once

#include "TColor.h"

#include <QString>

// What the clock display writes into the audience window in the same refresh as into its own
// digits.
class AudienceClock
{
public:
    virtual ~AudienceClock() = default;
    // Digit4 .. Digit8; the leading two with their colours (lit or dimmed). While the clock
    // runs the audience sees whole seconds: the fraction digits show 0.
    virtual void showDigits(const int values[5], TColor hundreds, TColor tens, bool running) = 0;
    // Lit and unlit colours of all digits and the comma, as the colour state changes.
    virtual void applyColors(TColor on, TColor off) = 0;
    // The countdown's last ten seconds: the always-significant digits and the comma turn.
    virtual void applyAlarm(TColor color) = 0;
    virtual void applyAccuracy(int decimals) = 0;
    // The bottom line: the run's result or abort text, else the date and time.
    virtual void showBottomLine(const QString &text) = 0;
};
