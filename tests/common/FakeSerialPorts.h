#pragma once

#include "SerialPorts.h"

#include <QtTest>
#include <atomic>
#include <memory>

// A serial device whose modem lines the test sets from its own thread.
class FakeSerialDevice
{
public:
    // Changes the lines (ModemLine bits) and wakes a port waiting for the changed ones.
    void setLines(quint32 lines)
    {
        QMutexLocker lock(&m_mutex);
        const quint32 events[][2] = {{ModemLine::CTS, ComEvent::CTS},
                                     {ModemLine::DSR, ComEvent::DSR},
                                     {ModemLine::RLSD, ComEvent::RLSD},
                                     {ModemLine::Ring, ComEvent::Ring}};
        for (const auto &[line, event] : events)
            if ((lines ^ m_lines) & line)
                m_fired |= event;
        m_lines = lines;
        m_wake.wakeAll();
    }
    // Every wait from now on fails, as on an unplugged adapter.
    void failWaits()
    {
        QMutexLocker lock(&m_mutex);
        m_failWaits = true;
        m_wake.wakeAll();
    }
    // Blocks the test until a wait has handed over an event, or the deadline passes.
    bool waitForReport(int reports)
    {
        QMutexLocker lock(&m_mutex);
        QDeadlineTimer deadline(5000);
        while (m_reports < reports)
            if (!m_wake.wait(&m_mutex, deadline))
                return false;
        return true;
    }

    QString openError;      // open fails with this text, though the probe finds the port
    QString configureError; // configure fails with this text
    SerialLineSettings settings;
    std::atomic<int> waits{0}, failedWaits{0};
    std::atomic<bool> open{false};
    std::atomic<bool> closedUnderWait{false}; // closed while a wait still ran on it

private:
    friend class FakeSerialBackend;
    QMutex m_mutex;
    QWaitCondition m_wake;
    quint32 m_lines = 0, m_fired = 0;
    bool m_interrupted = false, m_waiting = false, m_failWaits = false;
    int m_reports = 0;
};

class FakeSerialBackend : public SerialBackend
{
public:
    explicit FakeSerialBackend(QMap<int, FakeSerialDevice *> devices) : m_devices(devices) {}

    // A device refusing access is no free port, as on the system.
    bool present(int port) override { return m_devices.contains(port) && !accessDenied(port); }
    bool accessDenied(int port) override
    {
        const FakeSerialDevice *d = m_devices.value(port);
        return d && isAccessDenied(d->openError);
    }
    bool open(int port) override
    {
        FakeSerialDevice *d = m_devices.value(port);
        m_error = !d                        ? QStringLiteral("No such file or directory")
                  : d->open                 ? QStringLiteral("Device or resource busy")
                  : !d->openError.isEmpty() ? d->openError
                                            : QString();
        if (!m_error.isEmpty())
            return false;
        QMutexLocker lock(&d->m_mutex);
        d->open = true;
        d->m_interrupted = false;
        d->m_fired = 0;
        m_device = d;
        return true;
    }
    bool configure(const SerialLineSettings &s) override
    {
        m_device->settings = s;
        m_error = m_device->configureError;
        return m_error.isEmpty();
    }
    void close() override
    {
        if (!m_device)
            return;
        QMutexLocker lock(&m_device->m_mutex);
        m_device->closedUnderWait = m_device->closedUnderWait || m_device->m_waiting;
        m_device->open = false;
        m_device = nullptr;
    }
    bool isOpen() const override { return m_device; }
    QString errorText() const override { return m_error; }
    quint32 modemStatus() override
    {
        QMutexLocker lock(&m_device->m_mutex);
        return m_device->m_lines;
    }
    int inQueue() override { return 0; }
    void purge() override {}
    WaitResult waitForEvent(quint32 mask, quint32 *fired) override
    {
        FakeSerialDevice *d = m_device;
        QMutexLocker lock(&d->m_mutex);
        ++d->waits;
        d->m_waiting = true;
        while (!(d->m_fired & mask) && !d->m_interrupted && !d->m_failWaits)
            d->m_wake.wait(&d->m_mutex);
        d->m_waiting = false;
        if (d->m_interrupted)
            return WaitResult::Interrupted;
        if (d->m_failWaits) {
            ++d->failedWaits;
            m_error = QStringLiteral("Input/output error");
            return WaitResult::Failed;
        }
        *fired = d->m_fired & mask;
        d->m_fired &= ~mask;
        ++d->m_reports;
        d->m_wake.wakeAll();
        return WaitResult::Event;
    }
    void interruptWait() override
    {
        QMutexLocker lock(&m_device->m_mutex);
        m_device->m_interrupted = true;
        m_device->m_wake.wakeAll();
    }

private:
    QMap<int, FakeSerialDevice *> m_devices;
    FakeSerialDevice *m_device = nullptr;
    QString m_error;
};

// Sets the lines and waits until the window has handled the change.
inline void edge(FakeSerialDevice &device, quint32 lines)
{
    const int waits = device.waits;
    device.setLines(lines);
    QTRY_VERIFY(device.waits > waits);
}

// Serial ports 1 and 2 as fake devices, for every port the program opens while this exists.
class FakeSerialPorts
{
public:
    FakeSerialPorts()
    {
        setSerialBackendFactory([this] { return std::make_unique<FakeSerialBackend>(devices); });
    }
    ~FakeSerialPorts() { setSerialBackendFactory(nullptr); }

    FakeSerialDevice com1, com2;
    // The ports present; a test plugs and pulls devices here.
    QMap<int, FakeSerialDevice *> devices{{1, &com1}, {2, &com2}};
};
