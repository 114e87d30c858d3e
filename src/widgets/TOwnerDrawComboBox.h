#pragma once

#include <QComboBox>
#include <QStyle>

#include <functional>

// A drop-down list whose items the owner draws, in the list and in the closed box alike.
class TOwnerDrawComboBox : public QComboBox
{
    Q_OBJECT
public:
    // Paints item `index` into rect; the background is filled already. state carries
    // State_Enabled and State_Selected.
    using DrawItem =
        std::function<void(QPainter &painter, const QRect &rect, int index, QStyle::State state)>;

    explicit TOwnerDrawComboBox(QWidget *parent = nullptr);

    DrawItem OnDrawItem;
    void setItemHeight(int height);
    int itemHeight() const { return m_itemHeight; }

    // Fills the background and lets OnDrawItem draw.
    void drawItem(QPainter &painter, const QRect &rect, int index, QStyle::State state) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_itemHeight = 18;
};
