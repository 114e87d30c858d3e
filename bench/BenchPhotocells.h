#pragma once

#include "SerialPorts.h"
#include "TickSource.h"

#include <QMutex>
#include <QWaitCondition>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <vector>

// The photocell benchmarks' line: a start photocell whose changes are timed from the moment the
// line moves to the moment its handler runs on the GUI thread.
using Clock = std::chrono::steady_clock;

struct Change
{
    quint32 tick = 0;
    Clock::time_point at;
};

// A start photocell on DSR that the wait thread itself toggles, a few milliseconds apart, until
// `total` changes are made; then it stays quiet until interrupted.
class TogglingBackend : public SerialBackend
{
public:
    TogglingBackend(std::vector<Change> &changes, int total) : m_changes(changes), m_total(total) {}

    bool present(int) override { return true; }
    bool open(int) override { return true; }
    bool configure(const SerialLineSettings &) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    QString errorText() const override { return {}; }
    quint32 modemStatus() override { return m_lines; }
    int inQueue() override { return 0; }
    void purge() override {}

    WaitResult waitForEvent(quint32, quint32 *fired) override
    {
        QMutexLocker lock(&m_mutex);
        const bool more = int(m_changes.size()) < m_total;
        const int pauseMs = more ? std::uniform_int_distribution<int>(4, 12)(m_random) : -1;
        if (!m_interrupted)
            m_wake.wait(&m_mutex, pauseMs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(pauseMs));
        if (m_interrupted || !more)
            return WaitResult::Interrupted;
        // The change lands at the start of a millisecond, as a real edge may.
        const quint32 before = tickNow();
        while (tickNow() == before) {
        }
        m_lines ^= 0x20;
        m_changes.push_back({tickNow(), Clock::now()});
        *fired = 0x10; // DSR
        return WaitResult::Event;
    }
    void interruptWait() override
    {
        QMutexLocker lock(&m_mutex);
        m_interrupted = true;
        m_wake.wakeAll();
    }

private:
    std::vector<Change> &m_changes;
    const int m_total;
    std::atomic<quint32> m_lines{0};
    QMutex m_mutex;
    QWaitCondition m_wake;
    bool m_interrupted = false;
    std::mt19937 m_random{4711};
};

inline double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}
