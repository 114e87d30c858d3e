#include "Artwork.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;
const QColor Accent(255, 110, 30);
const QColor Ink(40, 48, 64);

QPixmap blank(int w, int h)
{
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}

QFont boldFont(qreal pixelSize)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setBold(true);
    return f;
}

// Glyphs are drawn on a 20-unit grid so every icon shares one stroke weight.
void drawGlyph(QPainter &p, const QString &name)
{
    const QPen line(Ink, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(line);
    p.setBrush(Qt::NoBrush);
    auto letter = [&p](const QString &text, const QColor &fill, const QColor &ink) {
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(2, 2, 16, 16), 3, 3);
        p.setFont(boldFont(13));
        p.setPen(ink);
        p.drawText(QRectF(2, 2, 16, 16), Qt::AlignCenter, text);
    };

    if (name == QLatin1String("settings")) {
        p.setPen(QPen(Ink, 3, Qt::SolidLine, Qt::FlatCap));
        for (int i = 0; i < 8; ++i) {
            const double a = i * Pi / 4;
            p.drawLine(QPointF(10 + 5 * std::cos(a), 10 + 5 * std::sin(a)),
                       QPointF(10 + 8.5 * std::cos(a), 10 + 8.5 * std::sin(a)));
        }
        p.setPen(line);
        p.drawEllipse(QPointF(10, 10), 5, 5);
        p.drawEllipse(QPointF(10, 10), 1.8, 1.8);
    } else if (name == QLatin1String("info")) {
        letter(QStringLiteral("i"), QColor(40, 110, 200), Qt::white);
    } else if (name == QLatin1String("help")) {
        letter(QStringLiteral("?"), QColor(60, 150, 80), Qt::white);
    } else if (name == QLatin1String("load")) {
        p.setBrush(QColor(240, 200, 90));
        p.drawPolygon(QPolygonF({{2, 5}, {7, 5}, {9, 7}, {18, 7}, {18, 16}, {2, 16}}));
    } else if (name == QLatin1String("clear")) {
        p.setPen(QPen(QColor(200, 40, 40), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(16, 16));
        p.drawLine(QPointF(16, 4), QPointF(4, 16));
    } else if (name == QLatin1String("word")) {
        letter(QStringLiteral("W"), QColor(40, 80, 170), Qt::white);
    } else if (name == QLatin1String("excel")) {
        p.setBrush(QColor(30, 130, 70));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(2, 2, 16, 16), 3, 3);
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(14, 14));
        p.drawLine(QPointF(14, 6), QPointF(6, 14));
    } else if (name == QLatin1String("save")) {
        p.setBrush(QColor(70, 100, 160));
        p.drawRoundedRect(QRectF(3, 3, 14, 14), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 3, 8, 5));
        p.drawRect(QRectF(6, 11, 8, 6));
    } else if (name == QLatin1String("print")) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 2, 8, 5));
        p.setBrush(QColor(150, 155, 165));
        p.drawRoundedRect(QRectF(2, 7, 16, 7), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 12, 8, 6));
    } else if (name == QLatin1String("html")) {
        p.setBrush(QColor(120, 180, 240));
        p.drawEllipse(QPointF(10, 10), 7.5, 7.5);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(10, 10), 3.2, 7.5);
        p.drawLine(QPointF(2.5, 10), QPointF(17.5, 10));
    } else if (name == QLatin1String("monitor")) {
        p.setBrush(QColor(30, 40, 60));
        p.drawRoundedRect(QRectF(2, 3, 16, 11), 1.5, 1.5);
        p.drawLine(QPointF(10, 14), QPointF(10, 17));
        p.drawLine(QPointF(6, 17.5), QPointF(14, 17.5));
    } else if (name == QLatin1String("bell")) {
        QPainterPath bell;
        bell.moveTo(3, 15);
        bell.cubicTo(6, 12, 4, 3, 10, 3);
        bell.cubicTo(16, 3, 14, 12, 17, 15);
        bell.closeSubpath();
        p.setBrush(QColor(240, 190, 40));
        p.drawPath(bell);
        p.drawEllipse(QPointF(10, 17), 1.6, 1.6);
    } else if (name == QLatin1String("pause")) {
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        p.drawRect(QRectF(5, 4, 3.5, 12));
        p.drawRect(QRectF(11.5, 4, 3.5, 12));
    } else if (name == QLatin1String("continue")) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 150, 60));
        p.drawPolygon(QPolygonF({{5, 3}, {17, 10}, {5, 17}}));
    } else if (name == QLatin1String("prev") || name == QLatin1String("next")) {
        if (name == QLatin1String("prev")) {
            p.translate(20, 0);
            p.scale(-1, 1);
        }
        p.setPen(QPen(Ink, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(3, 10), QPointF(16, 10));
        p.drawPolyline(QPolygonF({{11, 5}, {16, 10}, {11, 15}}));
    }
}

const QStringList &glyphNames()
{
    static const QStringList names = {
        QStringLiteral("settings"), QStringLiteral("info"),     QStringLiteral("help"),
        QStringLiteral("load"),     QStringLiteral("clear"),    QStringLiteral("word"),
        QStringLiteral("save"),     QStringLiteral("print"),    QStringLiteral("excel"),
        QStringLiteral("html"),     QStringLiteral("monitor"),  QStringLiteral("bell"),
        QStringLiteral("pause"),    QStringLiteral("continue"), QStringLiteral("prev"),
        QStringLiteral("next")};
    return names;
}

} // namespace

QPixmap revealBanner(int width, int height)
{
    QPixmap pm(qMax(1, width), qMax(1, height));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, pm.height());
    bg.setColorAt(0.0, QColor(34, 40, 58));
    bg.setColorAt(1.0, QColor(10, 12, 20));
    p.fillRect(pm.rect(), bg);

    // The rule sits at the bottom edge: it is the first thing to pass over the digits.
    const qreal rule = qMax<qreal>(2, pm.height() / 40.0);
    p.fillRect(QRectF(0, pm.height() - 2 * rule, pm.width(), rule), Accent);

    p.setFont(boldFont(pm.height() * 0.34));
    p.setPen(QColor(235, 238, 245));
    p.drawText(QRectF(0, 0, pm.width(), pm.height() * 0.72), Qt::AlignCenter,
               QStringLiteral("Rittmeter"));
    p.setFont(boldFont(pm.height() * 0.09));
    p.setPen(QColor(150, 160, 185));
    p.drawText(QRectF(0, pm.height() * 0.6, pm.width(), pm.height() * 0.2), Qt::AlignCenter,
               QStringLiteral("SHOW-JUMPING TIMER"));
    return pm;
}

QPixmap armingIcon(bool armed)
{
    QPixmap pm = blank(20, 20);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (armed) {
        p.setPen(QPen(QColor(150, 40, 0), 1.2));
        p.setBrush(QColor(255, 70, 20));
        p.drawEllipse(QPointF(10, 10), 8.5, 8.5);
        // The beam the photocell is watching.
        p.setPen(QPen(QColor(255, 240, 200), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 10), QPointF(15, 10));
        p.drawLine(QPointF(12, 7), QPointF(15, 10));
        p.drawLine(QPointF(12, 13), QPointF(15, 10));
    } else {
        p.setPen(QPen(QColor(90, 90, 90), 1.6));
        p.setBrush(QColor(190, 190, 190));
        p.drawEllipse(QPointF(10, 10), 8, 8);
        p.setPen(QPen(QColor(60, 60, 60), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 15), QPointF(15, 5));
    }
    return pm;
}

QPixmap makerLogo(int height)
{
    const int h = qMax(8, height);
    const QFont word = boldFont(h * 0.55);
    const int w =
        h + qCeil(h * 0.25 + QFontMetricsF(word).horizontalAdvance(QStringLiteral("Ostrel")));
    QPixmap pm = blank(w, h);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF square(1, 1, h - 2, h - 2);
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    p.drawRoundedRect(square, h * 0.2, h * 0.2);
    p.setFont(boldFont(h * 0.7));
    p.setPen(Qt::white);
    p.drawText(square, Qt::AlignCenter, QStringLiteral("R"));
    // The accent colour reads on both a light and a dark header band.
    p.setFont(word);
    p.setPen(Accent);
    p.drawText(QRectF(h + h * 0.2, 0, w - h, h), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Ostrel"));
    return pm;
}

QIcon toolIcon(const QString &name)
{
    if (!glyphNames().contains(name))
        return {};
    QIcon icon;
    for (const int size : {16, 20, 32}) {
        QPixmap pm = blank(size, size);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 20.0, size / 20.0);
        drawGlyph(p, name);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}
