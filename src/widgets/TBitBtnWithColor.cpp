#include "TBitBtnWithColor.h"

#include <QKeyEvent>
#include <QMouseEvent>

TBitBtnWithColor::TBitBtnWithColor(QWidget *parent) : TBitBtnWithColor(QString(), parent) {}

TBitBtnWithColor::TBitBtnWithColor(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    setAutoDefault(false);
    applyPalette();
}

void TBitBtnWithColor::setColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    applyPalette();
}

void TBitBtnWithColor::setFontColor(TColor color)
{
    if (color == m_fontColor)
        return;
    m_fontColor = color;
    applyPalette();
}

void TBitBtnWithColor::applyPalette()
{
    QPalette pal = palette();
    const QColor face = toQColor(m_color);
    pal.setColor(QPalette::Button, face);
    for (auto group : {QPalette::Active, QPalette::Inactive})
        pal.setColor(group, QPalette::ButtonText, toQColor(m_fontColor));
    // A disabled button keeps the face it was given; only its caption greys out.
    pal.setColor(QPalette::Disabled, QPalette::Button, face);
    setPalette(pal);
}

void TBitBtnWithColor::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT mousePressed(event->button());
    // The press itself may have disabled the button; then no pressed look is left behind.
    if (isEnabled())
        QPushButton::mousePressEvent(event);
}

static bool isClickKey(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
           event->key() == Qt::Key_Enter || event->key() == Qt::Key_Select;
}

void TBitBtnWithColor::keyPressEvent(QKeyEvent *event)
{
    if (!m_keyboardClick && isClickKey(event)) {
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void TBitBtnWithColor::keyReleaseEvent(QKeyEvent *event)
{
    if (!m_keyboardClick && isClickKey(event)) {
        event->accept();
        return;
    }
    QPushButton::keyReleaseEvent(event);
}
