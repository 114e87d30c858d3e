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
