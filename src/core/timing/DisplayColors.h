#pragma once

#include "TColor.h"

// The clock's colours: [0] background, [1] leading zeros, [2] ready and countdown, [3] running
// within the allowed time, [4] alarm. Loaded from the colour settings at start-up.
inline TColor DisplayColors[5] = {0x000000, 0x404040, 0x00FFFF, 0x00FF00, 0x0000FF};
inline TColor DimColor = 0x404040;
inline TColor ActiveColor = 0x0000FF;
