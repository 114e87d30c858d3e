#include "TColorBox.h"

#include <QPainter>

#include <algorithm>
#include <iterator>

const TColor TColorBox::StandardColors[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

TColorBox::TColorBox(QWidget *parent) : TOwnerDrawComboBox(parent)
{
    for (TColor c : StandardColors)
        addItem(QString(), c);
    addItem(QString(), m_userColor);
    OnDrawItem = [this](QPainter &painter, const QRect &rect, int index, QStyle::State) {
        const TColor c = index == count() - 1 ? m_userColor : StandardColors[index];
        const QRect swatch = rect.adjusted(2, 2, -2, -2);
        painter.fillRect(swatch, toQColor(c));
        painter.setPen(Qt::black);
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    };
}

TColor TColorBox::color() const
{
    const int index = currentIndex();
    if (index < 0 || index == count() - 1)
        return m_userColor;
    return StandardColors[index];
}

void TColorBox::setColor(TColor color)
{
    const TColor *found = std::find(std::begin(StandardColors), std::end(StandardColors), color);
    if (found != std::end(StandardColors)) {
        setCurrentIndex(int(found - std::begin(StandardColors)));
        return;
    }
    setUserColor(color);
    setCurrentIndex(count() - 1);
}

void TColorBox::setUserColor(TColor color)
{
    m_userColor = color;
    setItemData(count() - 1, color);
    update();
}
