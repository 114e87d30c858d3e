#include "AudienceLayout.h"

#include <cmath>

namespace {
int rounded(double v)
{
    return int(std::nearbyint(v)); // the default rounding mode: ties to even
}

// Left and right edges scale by x, top and bottom by y, each rounded on its own.
QRect scaled(const QRect &r, double x, double y)
{
    const int left = rounded(r.left() * x);
    const int top = rounded(r.top() * y);
    const int right = rounded((r.left() + r.width()) * x);
    const int bottom = rounded((r.top() + r.height()) * y);
    return QRect(left, top, right - left, bottom - top);
}
} // namespace

AudienceLayout layoutAudience(QSize client, const MainClockGeometry &main)
{
    AudienceLayout l;
    const int mainHeight = qMax(1, main.panelTimer.height());
    const double firstScale = double(client.height()) / mainHeight;
    const int h = rounded(mainHeight * firstScale / 12);
    l.lineHeight = h;
    l.fontPointSize = h * 6 / 10;
    l.innerBorder = h / 6;
    for (int i = 0; i < 5; ++i)
        l.textPanels[i] = QRect(0, i * h, client.width(), h);
    l.bottomLine = QRect(0, client.height() - h, client.width(), h);
    l.digitArea = QRect(0, 5 * h, client.width(), qMax(0, client.height() - 6 * h));

    const int areaHeight = l.digitArea.height();
    l.scale = double(areaHeight) / mainHeight;
    const int width = int(qint64(areaHeight) * main.panelTimer.width() / mainHeight);
    l.panelTimer = QRect((client.width() - width) / 2, 0, width, areaHeight);
    for (int i = 0; i < 5; ++i) {
        l.digits[i] = scaled(main.digits[i], l.scale, l.scale);
        l.thickness[i] = rounded(main.thickness[i] * l.scale);
    }
    l.labSec = scaled(main.labSec, l.scale, l.scale);
    l.labSecPointSize = rounded(main.labSecPointSize * l.scale);
    return l;
}
