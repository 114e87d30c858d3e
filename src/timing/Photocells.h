#pragma once

#include "RunHooks.h"

#include <QList>
#include <QObject>

class TComPort;
class TFormMainUi;

// Turns the photocell ports' line changes into START and STOP, keeps the event list and the
// lock-out, and shows the photocell controls while a port is open.
class Photocells : public QObject
{
    Q_OBJECT
public:
    Photocells(TFormMainUi &ui, RunHooks &hooks, QObject *parent = nullptr);

    void ComPortDSR(TComPort *sender);
    void PhotocellEvent(TComPort *sender, int kind);
    // An impulse at edgeTick acts as the armed photocells say: START when mayStart and START is
    // due, STOP when mayStop and the run is on course; inside the lock-out it does nothing.
    PhotocellImpulse::Effect act(quint32 edgeTick, bool mayStart, bool mayStop);
    // The event list's newest entry.
    void list(const QString &entry);
    // A timing device open shows the arming controls as an open port does.
    void setDeviceOpen(bool open);
    // Blocks photocell triggers for the timer's interval from the edge of edgeTick.
    void StartLockout(quint32 edgeTick);
    void TimerGesperrtTimer();
    void ComPortOpen(TComPort *sender);
    void ComPortClose(TComPort *sender);

    struct PortFailure
    {
        int port = 0;
        QString reason; // the system's text
    };

    // Opens the ports the settings name. One that cannot be opened stays closed and is listed;
    // the photocell controls show while a port is open.
    QList<PortFailure> OpenConfiguredPorts();
    void CloseAll();
    // Whether this program holds the port open.
    bool holds(int port) const;

private:
    void showControls(bool shown);
    bool lockedOut(quint32 edgeTick) const;

    TFormMainUi &m_ui;
    RunHooks &m_hooks;
    bool m_deviceOpen = false;
    bool m_lockoutRunning = false;
    quint32 m_lockoutEdgeTick = 0; // the edge that started the lock-out
};
