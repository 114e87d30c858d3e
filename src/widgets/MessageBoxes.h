#pragma once

#include <QString>

class QWidget;

// Questions and messages go through here, so tests can answer them.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual void warning(QWidget *parent, const QString &title, const QString &text);
    virtual void error(QWidget *parent, const QString &text);
    // A warning that leaves the keyboard where it is: shown without taking the focus, and
    // closed by the mouse whenever the operator likes.
    virtual void notice(QWidget *parent, const QString &text);
    // The shared yes/no question; true only for "Ja".
    virtual bool yesNo(QWidget *parent, const QString &question);
};

MessageBoxes &messageBoxes();
void setMessageBoxes(MessageBoxes *boxes);
