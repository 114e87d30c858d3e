#pragma once

#include "Screens.h"

// Screens as tests offer them: an operator's monitor and a TV beside it.
class FakeScreens
{
public:
    FakeScreens()
    {
        setScreenRects([this] { return rects; });
    }
    ~FakeScreens() { setScreenRects({}); }
    QList<QRect> rects{QRect(0, 0, 1280, 900), QRect(1280, 0, 1920, 1080)};
};
