#include "EnabledLink.h"

#include <QAction>
#include <QEvent>
#include <QWidget>

EnabledLink::EnabledLink(QWidget *button, QAction *action)
    : QObject(button), m_button(button), m_action(action)
{
    button->installEventFilter(this);
    action->setEnabled(button->isEnabled());
}

void EnabledLink::link(QWidget *button, QAction *action)
{
    new EnabledLink(button, action);
}

bool EnabledLink::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_button && event->type() == QEvent::EnabledChange)
        m_action->setEnabled(m_button->isEnabled());
    return false;
}
