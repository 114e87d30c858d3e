#include "TOwnerDrawComboBox.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace {
class OwnerDrawDelegate : public QStyledItemDelegate
{
public:
    explicit OwnerDrawDelegate(TOwnerDrawComboBox *box) : QStyledItemDelegate(box), m_box(box) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        m_box->drawItem(*painter, option.rect, index.row(), option.state);
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return {option.rect.width(), m_box->itemHeight()};
    }

private:
    TOwnerDrawComboBox *m_box;
};
} // namespace

TOwnerDrawComboBox::TOwnerDrawComboBox(QWidget *parent) : QComboBox(parent)
{
    setItemDelegate(new OwnerDrawDelegate(this));
}

void TOwnerDrawComboBox::setItemHeight(int height)
{
    m_itemHeight = height;
    updateGeometry();
}

void TOwnerDrawComboBox::drawItem(QPainter &painter, const QRect &rect, int index,
                                  QStyle::State state) const
{
    const bool selected = state & QStyle::State_Selected;
    painter.fillRect(rect, palette().color(selected ? QPalette::Highlight : QPalette::Base));
    if (OnDrawItem && index >= 0) {
        painter.save();
        painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        OnDrawItem(painter, rect, index, state);
        painter.restore();
    }
}

void TOwnerDrawComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    QStyle::State state = QStyle::State_None;
    if (isEnabled())
        state |= QStyle::State_Enabled;
    drawItem(painter, field, currentIndex(), state);
}
