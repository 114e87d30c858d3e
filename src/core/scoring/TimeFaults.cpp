#include "TimeFaults.h"

#include <cmath>

double computeTimeFaults(qint64 cs, qint64 allowedSecs, qint64 interval, qint64 perInterval)
{
    // A stored interval of 0 cannot come from the settings dialog; a damaged store must not
    // divide by zero during a run.
    if (interval <= 0)
        return 0.0;
    double intervals;
    if (interval >= 100) {
        // nearbyint rounds halves to the even neighbour: 250 (2.5 s) counts as 2 s.
        const qint64 wholeSecs = qint64(std::nearbyint(double(interval) / 100.0));
        intervals = double(((interval + cs - 1) / 100 - allowedSecs) / wholeSecs);
    } else {
        // Intervals that do not divide the allowed time leave a fraction, as they always have.
        intervals =
            double((interval + cs - 1) / interval) - double(allowedSecs) * (100.0 / interval);
    }
    return intervals * double(perInterval) / 100.0;
}
