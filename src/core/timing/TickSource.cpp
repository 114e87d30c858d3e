#include "TickSource.h"

#include <ctime>

quint32 SystemTickSource::now() const
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const quint64 ms = quint64(ts.tv_sec) * 1000u + quint64(ts.tv_nsec) / 1000000u;
    return quint32(ms);
}

namespace {
SystemTickSource g_systemTicks;
TickSource *g_ticks = &g_systemTicks;
// GUI thread only, like the run commands that read it.
bool g_edgeStamped = false;
quint32 g_edgeTick = 0;
bool g_countdown = false;
} // namespace

EdgeStamp::EdgeStamp(quint32 tick) : m_hadOuter(g_edgeStamped), m_outer(g_edgeTick)
{
    g_edgeStamped = true;
    g_edgeTick = tick;
}

EdgeStamp::~EdgeStamp()
{
    g_edgeStamped = m_hadOuter;
    g_edgeTick = m_outer;
}

quint32 commandTick()
{
    return g_edgeStamped ? g_edgeTick : tickNow();
}

CommandOrigin commandOrigin()
{
    return g_edgeStamped ? CommandOrigin::Photocell
           : g_countdown ? CommandOrigin::Countdown
                         : CommandOrigin::Operator;
}

CountdownCommand::CountdownCommand() : m_outer(g_countdown)
{
    g_countdown = true;
}

CountdownCommand::~CountdownCommand()
{
    g_countdown = m_outer;
}

TickSource &tickSource()
{
    return *g_ticks;
}

void setTickSource(TickSource *source)
{
    g_ticks = source ? source : &g_systemTicks;
}
