#pragma once

#include <QtGlobal>

// Time faults for a clock time beyond the allowed time.
//   cs           clock time in 1/100 s (only called when cs > allowedSecs * 100)
//   allowedSecs  the allowed time in whole seconds
//   interval     length of one time-fault interval in 1/100 s
//   perInterval  faults per commenced interval in 1/100 fault
// Every commenced interval counts, so one hundredth beyond the allowed time costs a whole one.
double computeTimeFaults(qint64 cs, qint64 allowedSecs, qint64 interval, qint64 perInterval);
