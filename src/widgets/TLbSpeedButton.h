#pragma once

#include <QToolButton>

// A flat tool button for the header band and the protocol toolbar; it raises under the mouse.
class TLbSpeedButton : public QToolButton
{
    Q_OBJECT
public:
    explicit TLbSpeedButton(QWidget *parent = nullptr);
};
