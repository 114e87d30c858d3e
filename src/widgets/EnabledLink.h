#pragma once

#include <QObject>

class QAction;
class QWidget;

// Keeps a command's action enabled exactly while its button is, whoever changes the button.
class EnabledLink : public QObject
{
    Q_OBJECT
public:
    static void link(QWidget *button, QAction *action);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    EnabledLink(QWidget *button, QAction *action);
    QWidget *m_button = nullptr;
    QAction *m_action = nullptr;
};
