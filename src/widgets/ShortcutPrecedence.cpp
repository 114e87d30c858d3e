#include "ShortcutPrecedence.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

ShortcutPrecedence::ShortcutPrecedence(QWidget *window, QList<QAction *> commands)
    : QObject(window), m_window(window), m_commands(std::move(commands))
{
    qApp->installEventFilter(this);
}

bool ShortcutPrecedence::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
        return false;
    auto *w = static_cast<QWidget *>(watched);
    if (w->window() != m_window)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const QKeyCombination pressed = key->keyCombination();
    // The shortcut map also matches a keypad key against a shortcut without the keypad flag.
    const QKeyCombination plain(pressed.keyboardModifiers() & ~Qt::KeypadModifier, pressed.key());
    for (const QAction *a : std::as_const(m_commands)) {
        if (!a->isEnabled())
            continue;
        for (const QKeySequence &seq : a->shortcuts()) {
            if (seq.count() == 1 && (seq[0] == pressed || seq[0] == plain)) {
                event->ignore();
                return true;
            }
        }
    }
    return false;
}
