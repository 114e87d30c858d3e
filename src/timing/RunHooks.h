#pragma once

#include "DeviceLine.h"

#include <QString>
#include <QtGlobal>

// The run commands the impulse log records.
enum class RunCommand
{
    Timer,
    Start,
    Stop,
    Hold,
    Continue,
    Entry,
    Abort,
    Next,
    Penalty // penalty seconds added or taken back, while held or after STOP
};

// A photocell's impulse, and what it did.
struct PhotocellImpulse
{
    enum Effect
    {
        None,
        Start,
        Stop,
        LockedOut,  // inside the lock-out after an edge that counted: ignored
        BeforeStart // a device's finish stamped before the run's start: ignored
    };
    int port = 0;
    int line = 0; // contact code: 0 DSR, 1 CTS, 2 RLSD
    int kind = 0; // 1 start photocell, 2 finish photocell
    quint32 edgeTick = 0;
    Effect effect = None;
};

// What the run control and the clock call in the scoring, the audience display and the log. The
// program installs the real ones; until a part is present its hook does nothing.
class RunHooks
{
public:
    virtual ~RunHooks() = default;
    // Recompute the running total; called at the end of START.
    virtual void UpdateRunTotal() {}
    // Rewrite the time faults for a shown time beyond the allowed time.
    virtual void UpdateTimeFaults(qint32 elapsedMs) { Q_UNUSED(elapsedMs) }
    // A run command was carried out. elapsedMs: the run's time then, negative for none;
    // detail: what else the log should say (an abort's reason, a penalty's "+6").
    virtual void RunCommandGiven(RunCommand command, qint32 elapsedMs, const QString &detail)
    {
        Q_UNUSED(command)
        Q_UNUSED(elapsedMs)
        Q_UNUSED(detail)
    }
    // A photocell's impulse was handled; a START or STOP it gave is reported here only.
    virtual void PhotocellImpulseSeen(const PhotocellImpulse &impulse) { Q_UNUSED(impulse) }
    // A timing device's line was handled (a faulty one too); effect: what its impulse did;
    // elapsedMs: the run's time it gave, negative for none.
    virtual void DeviceLineSeen(const DeviceLine &line, const QString &source,
                                PhotocellImpulse::Effect effect, qint32 elapsedMs)
    {
        Q_UNUSED(line)
        Q_UNUSED(source)
        Q_UNUSED(effect)
        Q_UNUSED(elapsedMs)
    }
};
