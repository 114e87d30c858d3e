#pragma once

#include "TickSource.h"

// A tick counter the test moves by hand; installs itself for its lifetime.
class FakeTickSource : public TickSource
{
public:
    explicit FakeTickSource(quint32 start = 1000) : m_now(start) { setTickSource(this); }
    ~FakeTickSource() override { setTickSource(nullptr); }

    quint32 now() const override { return m_now; }
    void advance(quint32 ms) { m_now += ms; }
    void set(quint32 ms) { m_now = ms; }

private:
    quint32 m_now = 0;
};
