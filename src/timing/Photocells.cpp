#include "Photocells.h"

#include "EComError.h"
#include "PhotocellRules.h"
#include "RunHooks.h"
#include "RunState.h"
#include "Settings.h"
#include "TBitBtnWithColor.h"
#include "TComPort.h"
#include "TFormMainUi.h"
#include "TImage.h"
#include "TickSource.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTimer>

Photocells::Photocells(TFormMainUi &ui, RunHooks &hooks, QObject *parent)
    : QObject(parent), m_ui(ui), m_hooks(hooks)
{
    for (TComPort *port : {m_ui.ComPort1, m_ui.ComPort2}) {
        port->OnCTS = port->OnDSR = port->OnRLSD = [this](TComPort *s) { ComPortDSR(s); };
        port->OnOpen = [this](TComPort *s) { ComPortOpen(s); };
        port->OnClose = [this](TComPort *s) { ComPortClose(s); };
    }
    connect(m_ui.TimerGesperrt, &QTimer::timeout, this, &Photocells::TimerGesperrtTimer);
}

void Photocells::ComPortDSR(TComPort *sender)
{
    const LineChange change = ClassifyLineChange(
        LastLineState, sender->Port(), m_ui.ComPort1->Port(), m_ui.ComPort2->Port(), Settings.Kont1,
        Settings.Kont2, sender->Tag(), sender->GetModemStatus());
    if (change.counts)
        PhotocellEvent(sender, change.kind);
}

void Photocells::PhotocellEvent(TComPort *sender, int kind)
{
    list(PhotocellEntry(kind, sender->EventTime()));
    const quint32 edgeTick = sender->EventTick();
    PhotocellImpulse impulse{sender->Port(), kind == 2 ? Settings.Kont2 : Settings.Kont1, kind,
                             edgeTick};
    impulse.effect = act(edgeTick, sender == m_ui.ComPort1 && kind == 1,
                         kind == 2 || (kind >= 1 && Settings.Kont1 == Settings.Kont2));
    m_hooks.PhotocellImpulseSeen(impulse);
}

void Photocells::list(const QString &entry)
{
    m_ui.cbRezervLS->addItem(entry);
    m_ui.cbRezervLS->setCurrentIndex(m_ui.cbRezervLS->count() - 1);
    m_ui.cbRezervLS->setEnabled(true);
}

PhotocellImpulse::Effect Photocells::act(quint32 edgeTick, bool mayStart, bool mayStop)
{
    if (lockedOut(edgeTick))
        return PhotocellImpulse::LockedOut;
    // START and STOP take the edge's time, not the time this handler got to run.
    const EdgeStamp stamp(edgeTick);
    // An edge that happened before the run's start (a key START overtaking it in the queue)
    // would give a negative time: it stays in the list only.
    const bool afterStart = ticksBetween(Run.RunStartTick, edgeTick) >= 0;
    if (mayStart && m_ui.bSTART->isEnabled() && m_ui.ImageLSstart->tag() == 1 &&
        (!m_ui.bTimer->isHidden() || Settings.Timer == 0)) {
        m_ui.mStart->trigger();
        StartLockout(edgeTick);
        return PhotocellImpulse::Start;
    }
    if (mayStop && m_ui.bSTOP->isEnabled() && m_ui.ImageLSstop->tag() == 1 && afterStart) {
        m_ui.mStop->trigger();
        StartLockout(edgeTick);
        return PhotocellImpulse::Stop;
    }
    return PhotocellImpulse::None;
}

bool Photocells::lockedOut(quint32 edgeTick) const
{
    // Measured between the edges' own ticks: a coarse timer may fire early, or late.
    return m_lockoutRunning &&
           ticksBetween(m_lockoutEdgeTick, edgeTick) < m_ui.TimerGesperrt->interval();
}

void Photocells::StartLockout(quint32 edgeTick)
{
    if (lockedOut(edgeTick) || m_ui.TimerGesperrt->interval() <= 0)
        return;
    m_lockoutRunning = true;
    m_lockoutEdgeTick = edgeTick;
    m_ui.TimerGesperrt->start();
}

void Photocells::TimerGesperrtTimer()
{
    // Fired early: the lock-out is not over, and the timer runs one more round.
    if (ticksBetween(m_lockoutEdgeTick, tickNow()) < m_ui.TimerGesperrt->interval())
        return;
    m_ui.TimerGesperrt->stop();
    m_lockoutRunning = false;
}

void Photocells::ComPortOpen(TComPort *)
{
    showControls(true);
}

void Photocells::ComPortClose(TComPort *)
{
    showControls(m_deviceOpen);
}

void Photocells::setDeviceOpen(bool open)
{
    m_deviceOpen = open;
    showControls(open || m_ui.ComPort1->Connected() || m_ui.ComPort2->Connected());
}

void Photocells::showControls(bool shown)
{
    // While a port is open the arming images stand left of START and STOPP.
    for (QWidget *button : std::initializer_list<QWidget *>{m_ui.bSTART, m_ui.bSTOP})
        button->setGeometry(shown ? 26 : 4, button->y(), shown ? 81 : 103, button->height());
    for (QWidget *w : std::initializer_list<QWidget *>{m_ui.ImageLSstart, m_ui.ImageLSstop,
                                                       m_ui.cbRezervLS, m_ui.Label11})
        w->setVisible(shown);
}

QList<Photocells::PortFailure> Photocells::OpenConfiguredPorts()
{
    QList<PortFailure> failures;
    m_ui.ComPort1->setPort(quint8(Settings.Port1));
    m_ui.ComPort1->setTag(Settings.Alg1);
    m_ui.ComPort2->setPort(quint8(Settings.Port2));
    m_ui.ComPort2->setTag(Settings.Alg2);
    // With both photocells on one port, its events all come through the start port.
    const bool shared = Settings.Port2 == Settings.Port1;
    for (TComPort *port : {m_ui.ComPort1, m_ui.ComPort2}) {
        if (port->Port() == 0 || (shared && port == m_ui.ComPort2))
            continue;
        try {
            port->Open();
        } catch (const EComError &e) {
            failures.append({port->Port(), e.reason()});
        }
    }
    return failures;
}

void Photocells::CloseAll()
{
    m_ui.ComPort1->Close();
    m_ui.ComPort2->Close();
}

bool Photocells::holds(int port) const
{
    for (const TComPort *p : {m_ui.ComPort1, m_ui.ComPort2})
        if (p->Connected() && p->Port() == port)
            return true;
    return false;
}
