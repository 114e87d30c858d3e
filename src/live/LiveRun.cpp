#include "LiveRun.h"

#include "RunState.h"

void LiveRun::giveCountdown(quint32 tick, qint32 lengthMs)
{
    // Without a countdown length the clock counts up from TIMER, as it does after START.
    *this = LiveRun{RunPhase::Countdown, tick, tick, false, lengthMs > 0, lengthMs};
}

void LiveRun::standCountdown(quint32 tick)
{
    standTick = tick;
    standing = true;
}

void LiveRun::start(quint32 tick)
{
    *this = LiveRun{RunPhase::Running, tick, tick, false, false, countdownMs};
}

void LiveRun::hold(quint32 tick)
{
    phase = RunPhase::Held;
    standTick = tick;
    standing = true;
}

void LiveRun::resume(quint32 tick)
{
    startTick += tick - standTick;
    phase = RunPhase::Running;
    standing = false;
}

void LiveRun::stop(quint32 tick)
{
    phase = RunPhase::Stopped;
    standTick = tick;
    standing = true;
}

void LiveRun::addPenalty(qint32 ms)
{
    startTick -= quint32(ms);
    penaltyMs += ms;
}

void LiveRun::enter()
{
    // An abort is entered too, and stays an abort.
    if (phase != RunPhase::Aborted)
        phase = RunPhase::Entered;
    standing = true;
}

void LiveRun::abort(quint32 tick)
{
    if (!standing)
        standTick = tick;
    // Aborted before any start: nothing on the clock is the rider's.
    if (phase == RunPhase::Idle)
        startTick = standTick = tick;
    phase = RunPhase::Aborted;
    standing = true;
}

void LiveRun::next()
{
    *this = LiveRun{};
}

qint32 LiveRun::elapsedMs(quint32 now) const
{
    if (phase == RunPhase::Idle)
        return 0;
    return ticksBetween(startTick, standing ? standTick : now);
}

qint32 LiveRun::shownHundredths(quint32 now) const
{
    const qint32 elapsed = elapsedMs(now) / 10; // truncated, as the clock shows it
    if (countdown)
        return qMax(0, countdownMs / 10 - elapsed);
    return qMax(0, elapsed);
}

bool LiveRun::operator==(const LiveRun &o) const
{
    return phase == o.phase && startTick == o.startTick && standTick == o.standTick &&
           standing == o.standing && countdown == o.countdown && countdownMs == o.countdownMs &&
           penaltyMs == o.penaltyMs;
}
