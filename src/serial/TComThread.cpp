#include "TComThread.h"

#include "SerialBackend.h"
#include "TickSource.h"

#include <atomic>

namespace {
// Hand-offs are numbered across all threads, so a stale one queued by an ended thread never
// matches the wait of a newer one.
std::atomic<quint64> g_lastSeq{0};
// A wait that fails this often in a row means the device is gone (an unplugged adapter).
constexpr int FailuresBeforeGivingUp = 3;
constexpr int FailurePauseMs = 20;
// How often Stop repeats the interrupt: it can arrive just before the thread blocks.
constexpr int StopRetryMs = 5;
} // namespace

TComThread::TComThread(SerialBackend &backend, quint32 mask) : m_backend(backend), m_mask(mask) {}

TComThread::~TComThread()
{
    Stop();
}

bool TComThread::stopRequested()
{
    QMutexLocker lock(&m_mutex);
    return m_stop;
}

void TComThread::run()
{
    int failures = 0;
    while (!stopRequested()) {
        quint32 fired = 0;
        const SerialBackend::WaitResult result = m_backend.waitForEvent(m_mask, &fired);
        // The edge's own time, read before the hand-off can delay it.
        const quint32 tick = tickNow();
        const QTime time = QTime::currentTime();
        if (result == SerialBackend::WaitResult::Interrupted)
            continue;
        if (result == SerialBackend::WaitResult::Failed) {
            if (++failures >= FailuresBeforeGivingUp) {
                m_failed = true;
                break;
            }
            QMutexLocker lock(&m_mutex);
            if (!m_stop)
                m_changed.wait(&m_mutex, FailurePauseMs);
            continue;
        }
        failures = 0;
        const quint64 seq = ++g_lastSeq;
        {
            QMutexLocker lock(&m_mutex);
            if (m_stop)
                break;
            m_pending = HandOff{seq, fired, tick, time};
            m_hasPending = true;
        }
        emit eventReady(seq);
        QMutexLocker lock(&m_mutex);
        while (m_hasPending && !m_stop)
            m_changed.wait(&m_mutex);
        m_hasPending = false;
    }
    m_backend.purge();
    if (m_failed)
        emit waitFailed();
}

bool TComThread::pending(quint64 seq, HandOff *handOff)
{
    QMutexLocker lock(&m_mutex);
    if (!m_hasPending || m_pending.seq != seq)
        return false;
    *handOff = m_pending;
    return true;
}

void TComThread::release(quint64 seq)
{
    QMutexLocker lock(&m_mutex);
    if (m_hasPending && m_pending.seq == seq) {
        m_hasPending = false;
        m_changed.wakeAll();
    }
}

void TComThread::Stop()
{
    {
        QMutexLocker lock(&m_mutex);
        m_stop = true;
        m_hasPending = false;
        m_changed.wakeAll();
    }
    m_backend.interruptWait();
    while (!wait(QDeadlineTimer(StopRetryMs)))
        m_backend.interruptWait();
}
