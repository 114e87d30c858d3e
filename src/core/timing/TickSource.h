#pragma once

#include <QtGlobal>

// The one time base of a run: a monotonic millisecond counter that wraps at 2^32. Differences
// of two readings are taken modulo 2^32, so a wrap during a run changes nothing.
class TickSource
{
public:
    virtual ~TickSource() = default;
    virtual quint32 now() const = 0;
};

class SystemTickSource : public TickSource
{
public:
    quint32 now() const override;
};

// The source every part of the program reads. Tests install a fake of their own.
TickSource &tickSource();
void setTickSource(TickSource *source);

inline quint32 tickNow()
{
    return tickSource().now();
}

// While an edge stamp is in force (a photocell's edge being handled on the GUI thread), the
// run commands take the edge's tick as their time instead of reading the clock, so a busy GUI
// thread does not shift the measured time.
class EdgeStamp
{
public:
    explicit EdgeStamp(quint32 tick);
    ~EdgeStamp();
    EdgeStamp(const EdgeStamp &) = delete;
    EdgeStamp &operator=(const EdgeStamp &) = delete;

private:
    bool m_hadOuter = false;
    quint32 m_outer = 0;
};

// The time stamp of a run command: the edge's tick under an EdgeStamp, otherwise now.
quint32 commandTick();

// Who gives the run command being carried out: the operator, unless a photocell's edge (under an
// EdgeStamp) or the countdown running out (under a CountdownCommand) does.
enum class CommandOrigin
{
    Operator,
    Photocell,
    Countdown
};
CommandOrigin commandOrigin();

class CountdownCommand
{
public:
    CountdownCommand();
    ~CountdownCommand();
    CountdownCommand(const CountdownCommand &) = delete;
    CountdownCommand &operator=(const CountdownCommand &) = delete;

private:
    bool m_outer = false;
};
