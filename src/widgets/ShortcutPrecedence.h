#pragma once

#include <QList>
#include <QObject>

class QAction;
class QWidget;

// Lets the window's hidden commands win over the focused control's own use of a key (an edit
// field would otherwise keep Ctrl+V for pasting). A disabled command leaves the key to the
// control.
class ShortcutPrecedence : public QObject
{
    Q_OBJECT
public:
    ShortcutPrecedence(QWidget *window, QList<QAction *> commands);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window = nullptr;
    QList<QAction *> m_commands;
};
