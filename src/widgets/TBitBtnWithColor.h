#pragma once

#include "TColor.h"

#include <QPushButton>

// A button with a face colour and a caption colour of its own. Run buttons act on the press of
// any mouse button (mousePressed), never on a click or on Enter/Space, so a focused button
// cannot be triggered from the keyboard by accident.
class TBitBtnWithColor : public QPushButton
{
    Q_OBJECT
public:
    explicit TBitBtnWithColor(QWidget *parent = nullptr);
    explicit TBitBtnWithColor(const QString &caption, QWidget *parent = nullptr);

    TColor color() const { return m_color; }
    void setColor(TColor color);
    TColor fontColor() const { return m_fontColor; }
    void setFontColor(TColor color);

    // Whether a press of Enter or Space clicks the button (off for run buttons).
    void setKeyboardClick(bool on) { m_keyboardClick = on; }

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void applyPalette();

    TColor m_color = Colors::clBtnFace;
    TColor m_fontColor = Colors::clBlack;
    bool m_keyboardClick = true;
};
