#pragma once

#include "TColor.h"

#include <QPolygon>
#include <QVector>
#include <QWidget>

// One seven-segment digit with a decimal point, drawn from polygons so it scales to any size.
class TDigit : public QWidget
{
    Q_OBJECT

public:
    explicit TDigit(QWidget *parent = nullptr);

    TColor color() const { return m_color; }
    void setColor(TColor color);
    quint8 borderStyle() const { return m_borderStyle; }
    void setBorderStyle(quint8 style);
    TColor colorOff() const { return m_colorOff; }
    void setColorOff(TColor color);
    TColor colorOn() const { return m_colorOn; }
    void setColorOn(TColor color);
    qint32 value() const { return m_value; }
    void setValue(qint32 value);
    quint8 valueBinary() const { return m_valueBinary; }
    void setValueBinary(quint8 bits);
    int thickness() const { return m_thickness; }
    void setThickness(int thickness);
    int separation() const { return m_separation; }
    void setSeparation(int separation);

    int paintCount() const { return m_paintCount; }

    // Segments in bit order of valueBinary: top, middle, bottom, upper left, upper right,
    // lower left, lower right, decimal point.
    static QVector<QPolygon> segmentPolygons(int width, int height, int thickness, int separation);
    static quint8 digitPattern(int digit);

signals:
    void OnOverflow(TDigit *sender);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TColor m_color = Colors::clBlack;
    quint8 m_borderStyle = 1;
    TColor m_colorOff = Colors::clBlack;
    TColor m_colorOn = Colors::clYellow;
    qint32 m_value = 0;
    quint8 m_valueBinary = 125;
    int m_thickness = 2;
    int m_separation = 1;
    int m_paintCount = 0;
};
