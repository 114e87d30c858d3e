#include "TOvalButton.h"

#include <QMouseEvent>
#include <QPainter>

TOvalButton::TOvalButton(QWidget *parent) : TBitBtnWithColor(QString(), parent)
{
    setKeyboardClick(false);
}

void TOvalButton::setDownState(bool down)
{
    if (down == m_down)
        return;
    m_down = down;
    update();
}

void TOvalButton::mousePressEvent(QMouseEvent *event)
{
    setDownState(!m_down);
    Q_EMIT mousePressed(event->button());
    event->accept();
}

void TOvalButton::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void TOvalButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    const QColor face = isEnabled() ? QColor(0xd0, 0xd0, 0xd0) : QColor(0xb0, 0xb0, 0xb0);
    QRadialGradient g(r.center() + (m_down ? QPointF(4, 4) : QPointF(-4, -4)), r.width() / 1.4);
    g.setColorAt(0, face.lighter(m_down ? 90 : 130));
    g.setColorAt(1, face.darker(m_down ? 150 : 115));
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), m_down ? 2.5 : 1.2));
    p.setBrush(g);
    p.drawEllipse(r);

    // Pause bars while running, a play triangle while held.
    const QColor glyph = isEnabled() ? QColor(0x20, 0x20, 0x20) : QColor(0x80, 0x80, 0x80);
    p.setPen(Qt::NoPen);
    p.setBrush(glyph);
    const QPointF c = r.center() + (m_down ? QPointF(1, 1) : QPointF());
    const qreal u = r.width() / 8;
    if (m_down) {
        QPolygonF tri;
        tri << c + QPointF(-u, -1.4 * u) << c + QPointF(1.5 * u, 0) << c + QPointF(-u, 1.4 * u);
        p.drawPolygon(tri);
    } else {
        p.drawRect(QRectF(c.x() - 1.2 * u, c.y() - 1.4 * u, 0.8 * u, 2.8 * u));
        p.drawRect(QRectF(c.x() + 0.4 * u, c.y() - 1.4 * u, 0.8 * u, 2.8 * u));
    }
}
