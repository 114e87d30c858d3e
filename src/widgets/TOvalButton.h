#pragma once

#include "TBitBtnWithColor.h"

// The round hold button. It stays down while the clock is held: a mouse press toggles the down
// state before mousePressed is emitted, so the handler sees the new state.
class TOvalButton : public TBitBtnWithColor
{
    Q_OBJECT
public:
    explicit TOvalButton(QWidget *parent = nullptr);

    bool isDownState() const { return m_down; }
    void setDownState(bool down);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_down = false;
};
