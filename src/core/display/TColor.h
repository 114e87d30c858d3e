#pragma once

#include <QColor>
#include <QtGlobal>

// Colours are kept as $00BBGGRR values (red in the low byte), the way the settings store them.
// A value with the top byte $FF names a system colour instead.
using TColor = quint32;

namespace Colors {
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = 0xFF00000F;
} // namespace Colors

constexpr TColor rgbColor(int red, int green, int blue)
{
    return TColor(red & 0xFF) | TColor(green & 0xFF) << 8 | TColor(blue & 0xFF) << 16;
}

constexpr bool isSystemColor(TColor c)
{
    return (c & 0xFF000000u) == 0xFF000000u;
}

// System colours resolve against the application palette; clBtnFace is the button face.
QColor toQColor(TColor c);
TColor fromQColor(const QColor &c);
