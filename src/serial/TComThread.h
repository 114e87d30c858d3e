#pragma once

#include <QMutex>
#include <QThread>
#include <QTime>
#include <QWaitCondition>

#include <atomic>

class SerialBackend;

// Waits for the port's events and hands each one to the port's thread, blocking until it has
// been served there (or dropped by Stop).
class TComThread : public QThread
{
    Q_OBJECT
public:
    struct HandOff
    {
        quint64 seq = 0;
        quint32 mask = 0;
        quint32 tick = 0;
        QTime time;
    };

    TComThread(SerialBackend &backend, quint32 mask);
    ~TComThread() override;

    // Port thread: the hand-off `seq` if it is still waiting to be served.
    bool pending(quint64 seq, HandOff *handOff);
    // Port thread: the hand-off has been served; the wait goes on.
    void release(quint64 seq);
    // Ends the thread and waits for it; a pending hand-off is dropped. Any thread but this one.
    void Stop();
    // The waits kept failing, so the thread ended by itself.
    bool failed() const { return m_failed; }

signals:
    void eventReady(quint64 seq);
    void waitFailed();

protected:
    void run() override;

private:
    bool stopRequested();

    SerialBackend &m_backend;
    const quint32 m_mask;
    QMutex m_mutex;
    QWaitCondition m_changed;
    bool m_stop = false;
    bool m_hasPending = false;
    HandOff m_pending;
    std::atomic<bool> m_failed{false};
};
