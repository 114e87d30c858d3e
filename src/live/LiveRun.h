#pragma once

#include <QtGlobal>

// Where the run on the course stands.
enum class RunPhase
{
    Idle,      // after NEXT: the clock shows zero, the next rider may be timed
    Countdown, // TIMER gave the countdown; it may be stopped and given again
    Running,
    Held,    // stopped for a while; the held interval does not count
    Stopped, // STOP: the finish time stands, faults may still be corrected
    Entered, // the result is in the protocol
    Aborted  // "EL", "Ret." or "N.st.": entered without a time
};

// The run's time base. From it any reader, on any thread, works out the time the clock shows at
// any instant, without being told at every hundredth.
struct LiveRun
{
    RunPhase phase = RunPhase::Idle;
    // The start tick: Running, Held and Stopped count from it (held intervals and penalty seconds
    // move it); a countdown counts down from it.
    quint32 startTick = 0;
    // While the clock stands (Held, Stopped, Entered, Aborted, a countdown stopped with TIMER):
    // the tick it stands at.
    quint32 standTick = 0;
    bool standing = true;
    // The clock counts the countdown down (also once it stands: a countdown stopped or aborted).
    bool countdown = false;
    qint32 countdownMs = 0; // the countdown's length
    // The penalty seconds the run's time includes, in ms: the clock's time less this is the time
    // ridden.
    qint32 penaltyMs = 0;

    // The run commands, each at the tick it was given.
    void giveCountdown(quint32 tick, qint32 lengthMs); // TIMER: the countdown counts from tick
    void standCountdown(quint32 tick);                 // TIMER again: the countdown stands
    void start(quint32 tick);
    void hold(quint32 tick);
    void resume(quint32 tick); // the held interval does not count
    void stop(quint32 tick);
    // Penalty seconds added (or taken back) while held or stopped: the start moves.
    void addPenalty(qint32 ms);
    void enter();
    // A run still on course stands at tick; one stopped already keeps its time.
    void abort(quint32 tick);
    void next(); // NEXT: idle at zero

    // When the countdown runs out, while it counts.
    quint32 countdownEndTick() const { return startTick + quint32(countdownMs); }
    // Milliseconds on the run's clock at tick now: since the start, or since the countdown began.
    qint32 elapsedMs(quint32 now) const;
    // Hundredths the clock shows at tick now, truncated: the countdown's rest (never below zero)
    // or the run's time; zero when idle.
    qint32 shownHundredths(quint32 now) const;

    bool operator==(const LiveRun &other) const;
    bool operator!=(const LiveRun &other) const { return !(*this == other); }
};
