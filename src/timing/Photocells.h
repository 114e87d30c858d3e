#pragma once

#include <QObject>

class TComPort;
class TFormMainUi;

// Turns the photocell ports' line changes into START and STOP, keeps the event list and the
// lock-out, and shows the photocell controls while a port is open.
class Photocells : public QObject
{
    Q_OBJECT
public:
    explicit Photocells(TFormMainUi &ui, QObject *parent = nullptr);

    void ComPortDSR(TComPort *sender);
    void PhotocellEvent(TComPort *sender, int kind);
    void StartLockout();
    void TimerGesperrtTimer();
    void ComPortOpen(TComPort *sender);
    void ComPortClose(TComPort *sender);

    // Opens the ports the settings name; one that cannot be opened stays closed, silently.
    void OpenConfiguredPorts();
    void CloseAll();

private:
    void showControls(bool shown);

    TFormMainUi &m_ui;
};
