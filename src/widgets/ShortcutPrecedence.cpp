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

QAction *ShortcutPrecedence::commandFor(const QKeyEvent *key) const
{
    const QKeyCombination pressed = key->keyCombination();
    const QKeyCombination plain(pressed.keyboardModifiers() & ~Qt::KeypadModifier, pressed.key());
    QAction *fallback = nullptr;
    for (QAction *a : m_commands) {
        for (const QKeySequence &seq : a->shortcuts()) {
            if (seq.count() != 1)
                continue;
            if (seq[0] == pressed)
                return a;
            if (!fallback && seq[0] == plain)
                fallback = a;
        }
    }
    return fallback;
}

bool ShortcutPrecedence::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || !watched->isWidgetType())
        return false;
    if (static_cast<QWidget *>(watched)->window() != m_window)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    QAction *command = commandFor(key);
    if (!command)
        return false;
    event->accept();
    // An accepted override keeps the shortcut map out; the press then comes here.
    if (type == QEvent::ShortcutOverride)
        return true;
    // Holding a key acts once: a finger resting on F5 must not restart the run.
    if (!key->isAutoRepeat())
        command->trigger();
    return true;
}
