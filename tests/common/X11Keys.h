#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QtTest/qtestkeyboard.h> // qt_sendShortcutOverrideEvent
#include <QtTest/qtestspontaneevent.h>

// A key press and release as they reach the program under X11. The focused control is asked
// first (ShortcutOverride); when it does not take the key, the shortcut map looks it up without
// the keypad flag, as xcb's key mapper reports every key; only then does the control get the
// press. QTest's idealised events keep the keypad flag for the shortcut map, so Ctrl+keypad
// shortcuts that never fire on X11 pass there. The events are spontaneous, as the window
// system's are, so the application does not ask the shortcut map once more on its own.
inline void x11Key(QWidget *window, int key, Qt::KeyboardModifiers mods,
                   const QString &text = QString(), bool autoRepeat = false)
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QKeyEvent override(QEvent::ShortcutOverride, key, mods, text, autoRepeat);
    QSpontaneKeyEvent::setSpontaneous(&override);
    override.setAccepted(false);
    qApp->notify(target, &override);
    const bool shortcut =
        !override.isAccepted() &&
        qt_sendShortcutOverrideEvent(target, 0, key, mods & ~Qt::KeypadModifier, text, autoRepeat);
    if (!shortcut) {
        QKeyEvent press(QEvent::KeyPress, key, mods, text, autoRepeat);
        QSpontaneKeyEvent::setSpontaneous(&press);
        qApp->notify(target, &press);
    }
    QKeyEvent release(QEvent::KeyRelease, key, mods, text, autoRepeat);
    QSpontaneKeyEvent::setSpontaneous(&release);
    qApp->notify(target, &release);
}
