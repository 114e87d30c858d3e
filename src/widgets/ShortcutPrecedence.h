#pragma once

#include <QList>
#include <QObject>

class QAction;
class QKeyEvent;
class QWidget;

// The window's hidden commands own their keys, whichever control has the focus: an enabled
// command runs, a disabled one swallows the key, and no edit field ever sees it (Ctrl+V must
// not paste into the rider's name while EINTRAGEN is unavailable). The commands are dispatched
// here rather than by the shortcut map, because on X11 the map drops the keypad flag, so
// Ctrl+keypad keys would never match and the keypad's Ctrl+End would act as the main Ctrl+End.
class ShortcutPrecedence : public QObject
{
    Q_OBJECT
public:
    ShortcutPrecedence(QWidget *window, QList<QAction *> commands);

    // The command a key belongs to; a keypad key without a command of its own falls back to the
    // command of the same key on the main keyboard (Ctrl with keypad 1 is Ctrl+1).
    QAction *commandFor(const QKeyEvent *key) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window = nullptr;
    QList<QAction *> m_commands;
};
