#include "TDigit.h"

#include <QPainter>

namespace {
constexpr quint8 kPatterns[10] = {125, 80, 55, 87, 90, 79, 111, 81, 127, 95};
}

TDigit::TDigit(QWidget *parent) : QWidget(parent)
{
    // paintEvent covers every pixel, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(16, 32);
}

quint8 TDigit::digitPattern(int digit)
{
    return digit >= 0 && digit <= 9 ? kPatterns[digit] : 0;
}

void TDigit::setColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    repaint();
}

void TDigit::setBorderStyle(quint8 style)
{
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    repaint();
}

void TDigit::setColorOff(TColor color)
{
    if (color == m_colorOff)
        return;
    m_colorOff = color;
    repaint();
}

void TDigit::setColorOn(TColor color)
{
    if (color == m_colorOn)
        return;
    m_colorOn = color;
    repaint();
}

void TDigit::setValue(qint32 value)
{
    if (value == m_value)
        return;
    if (value < 0 || value > 9) {
        // An overflow shows 0; the stored value is 0, so the same overflow fires again.
        m_value = 0;
        emit OnOverflow(this);
    } else {
        m_value = value;
    }
    // Bypasses setValueBinary so the digit repaints once, even when the pattern is unchanged.
    m_valueBinary = kPatterns[m_value];
    repaint();
}

void TDigit::setValueBinary(quint8 bits)
{
    if (bits == m_valueBinary)
        return;
    m_valueBinary = bits;
    repaint();
}

void TDigit::setThickness(int thickness)
{
    // Thicker bars than half the digit would overlap; such a request is dropped.
    if (thickness > width() / 2 || thickness > height() / 2)
        return;
    m_thickness = thickness;
    update();
}

void TDigit::setSeparation(int separation)
{
    m_separation = separation;
    update();
}

QVector<QPolygon> TDigit::segmentPolygons(int width, int height, int thickness, int separation)
{
    const int w = width - 1;
    const int h = height - 1;
    const int t = thickness;
    const int s = separation;
    const int m = h / 2;

    QVector<QPolygon> polygons;
    for (int y : {0, m - t, h - 2 * t})
        polygons << QPolygon({QPoint(s + t, y + t), QPoint(2 * t + s, y), QPoint(w - 2 * t - s, y),
                              QPoint(w - t - s, y + t), QPoint(w - 2 * t - s, y + 2 * t),
                              QPoint(2 * t + s, y + 2 * t)});
    for (int y : {0, m - t}) {
        for (int x : {0, w - 2 * t})
            polygons << QPolygon({QPoint(x, 2 * t + y + s), QPoint(x + t, y + t + s),
                                  QPoint(x + 2 * t, 2 * t + y + s),
                                  QPoint(x + 2 * t, m - t + y - s), QPoint(x + t, m + y - s),
                                  QPoint(x, m - t + y - s)});
    }
    polygons << QPolygon({QPoint(w, h), QPoint(w - 2 * t + s, h), QPoint(w, h - 2 * t + s)});
    return polygons;
}

void TDigit::paintEvent(QPaintEvent *)
{
    ++m_paintCount;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor background = toQColor(m_color);
    painter.fillRect(rect(), background);
    painter.setPen(QPen(background, 1));

    const QColor on = toQColor(m_colorOn);
    const QColor off = toQColor(m_colorOff);
    const QVector<QPolygon> polygons =
        segmentPolygons(width(), height(), m_thickness, m_separation);
    for (int bit = 0; bit < polygons.size(); ++bit) {
        painter.setBrush(m_valueBinary & (1 << bit) ? on : off);
        painter.drawPolygon(polygons.at(bit));
    }
}
