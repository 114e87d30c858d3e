#pragma once

#include "TColor.h"

#include <QLabel>

// The clock's comma and "Sek." take the digits' lit colour.
inline void setLabelColor(QLabel *label, TColor color)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, toQColor(color));
    label->setPalette(pal);
}
