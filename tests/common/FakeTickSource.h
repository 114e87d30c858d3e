#pragma once

#include "TickSource.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>

// A tick counter the test moves by hand; installs itself for its lifetime.
class FakeTickSource : public TickSource
{
public:
    explicit FakeTickSource(quint32 start = 1000) : m_now(start) { setTickSource(this); }
    ~FakeTickSource() override { setTickSource(nullptr); }

    quint32 now() const override
    {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            ++m_readsOffGuiThread;
        return m_now;
    }
    void advance(quint32 ms) { m_now += ms; }
    void set(quint32 ms) { m_now = ms; }
    // Readings taken by other threads, such as a serial port's wait thread.
    int readsOffGuiThread() const { return m_readsOffGuiThread; }

private:
    std::atomic<quint32> m_now{0};
    mutable std::atomic<int> m_readsOffGuiThread{0};
};
