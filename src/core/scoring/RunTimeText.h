#pragma once

#include <QString>

// The protocol's time text: whole seconds, a comma and 0 to 2 decimals (decimals = 0, 1 or 2).
// Digits are cut, not rounded, and the mark is a comma whatever the locale, so the protocol
// reads the same on every machine. Seconds are never split into minutes: 75230 -> "75,23".
QString FormatRunTime(qint64 ms, int decimals);
