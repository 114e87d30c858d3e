#pragma once

#include <QList>
#include <QRect>

#include <functional>

// The monitors, in the platform's order, as rectangles on the desktop. Tests offer screens of
// their own; the program asks the platform.
QList<QRect> screenRects();
void setScreenRects(std::function<QList<QRect>()> source); // an empty function: the platform's
