#pragma once

#include "SerialBackend.h"

#include <pthread.h>

#include <atomic>
#include <mutex>

// A tty device through termios; the photocells are seen through the modem lines only.
class LinuxSerialBackend final : public SerialBackend
{
public:
    LinuxSerialBackend();
    ~LinuxSerialBackend() override;

    bool present(int port) override;
    bool accessDenied(int port) override;
    bool open(int port) override;
    // Opens any tty device, the way open(port) does with the port's device.
    bool openDevice(const QString &path);
    bool configure(const SerialLineSettings &settings) override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    QString errorText() const override;

    quint32 modemStatus() override;
    int inQueue() override;
    void purge() override;

    WaitResult waitForEvent(quint32 mask, quint32 *fired) override;
    void interruptWait() override;

private:
    // The modem lines as last reported, to find changes that happened while nobody waited.
    struct Snapshot
    {
        int counts[4] = {}; // transitions of CTS, DSR, DCD, RI, where the driver counts them
        int status = 0;     // TIOCM_* bits, where it does not
    };

    bool fail(int error);
    WaitResult waitFailed(int error);
    bool takeSnapshot(Snapshot *snapshot) const;
    WaitResult waitForLines(quint32 mask, quint32 *fired);
    WaitResult waitForInterrupt();
    void setWaiting(bool waiting);

    int m_fd = -1;
    mutable std::mutex m_mutex;
    QString m_errorText;      // guarded by m_mutex
    bool m_waiting = false;   // guarded by m_mutex
    pthread_t m_waitThread{}; // guarded by m_mutex
    std::atomic<bool> m_interrupted{false};
    // Wait thread only.
    bool m_haveReport = false;
    bool m_counted = false; // the driver has TIOCGICOUNT
    Snapshot m_lastReport;
};
