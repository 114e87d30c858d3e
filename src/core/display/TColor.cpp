#include "TColor.h"

#include <QGuiApplication>
#include <QPalette>

QColor toQColor(TColor c)
{
    if (isSystemColor(c))
        return QGuiApplication::palette().color(QPalette::Button);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

TColor fromQColor(const QColor &c)
{
    return rgbColor(c.red(), c.green(), c.blue());
}
