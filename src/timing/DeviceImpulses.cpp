#include "DeviceImpulses.h"

#include "PhotocellRules.h"
#include "Photocells.h"
#include "RunHooks.h"
#include "RunState.h"
#include "TBitBtnWithColor.h"
#include "TFormMainUi.h"
#include "TickSource.h"

#include <QAction>
#include <QTime>

namespace {
QTime timeOfDay(qint64 stamp)
{
    return QTime::fromMSecsSinceStartOfDay(int(stamp / (StampsPerSecond / 1000)));
}
} // namespace

DeviceImpulses::DeviceImpulses(TFormMainUi &ui, Photocells &photocells, RunHooks &hooks,
                               QObject *parent)
    : QObject(parent), m_ui(ui), m_photocells(photocells), m_hooks(hooks)
{
}

void DeviceImpulses::linesRead(const DeviceLines &lines)
{
    for (const DeviceLine &line : lines) {
        const TimerLine &l = line.line;
        const bool timing = l.kind == TimerLine::Impulse && l.live() &&
                            (l.channel == TimerLine::StartChannel ||
                             l.channel == TimerLine::FinishChannel);
        if (timing)
            impulse(line);
        else
            m_hooks.DeviceLineSeen(line, m_source, PhotocellImpulse::None, -1);
    }
}

void DeviceImpulses::impulse(const DeviceLine &line)
{
    const TimerLine &l = line.line;
    const bool start = l.channel == TimerLine::StartChannel;
    m_photocells.list(PhotocellEntry(start ? 1 : 2, timeOfDay(l.stamp)));

    // A run the device started is timed by its stamps: the finish's tick is the start's plus the
    // stamps' difference, so neither clock's delay nor the PC's clock counts.
    quint32 tick = line.arrivalTick;
    if (!start && Run.StartStamp >= 0 && m_ui.bSTOP->isEnabled()) {
        const qint64 runTime = stampRunTime(Run.StartStamp, l.stamp);
        if (runTime < 0) {
            m_hooks.DeviceLineSeen(line, m_source, PhotocellImpulse::BeforeStart, -1);
            return;
        }
        tick = Run.StartStampTick + quint32(runTime / (StampsPerSecond / 1000));
    }

    PhotocellImpulse::Effect effect = PhotocellImpulse::None;
    if (l.keypad) {
        // The device's keypad is the timekeeper's hand: no arming, no lock-out.
        const EdgeStamp stamp(tick);
        QAction *command = start ? m_ui.mStart : m_ui.mStop;
        TBitBtnWithColor *button = start ? m_ui.bSTART : m_ui.bSTOP;
        if (button->isEnabled()) {
            command->trigger();
            effect = start ? PhotocellImpulse::Start : PhotocellImpulse::Stop;
        }
    } else {
        effect = m_photocells.act(tick, start, !start);
    }
    if (effect == PhotocellImpulse::Start) {
        Run.StartStamp = l.stamp;
        Run.StartStampTick = Run.RunStartTick;
    }
    const qint32 elapsed =
        effect == PhotocellImpulse::Stop ? ticksBetween(Run.RunStartTick, Run.RunStopTick) : -1;
    m_hooks.DeviceLineSeen(line, m_source, effect, elapsed);
}
