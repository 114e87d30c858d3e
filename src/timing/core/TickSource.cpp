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
} // namespace

TickSource &tickSource()
{
    return *g_ticks;
}

void setTickSource(TickSource *source)
{
    g_ticks = source ? source : &g_systemTicks;
}
