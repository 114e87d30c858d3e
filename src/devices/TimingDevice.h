#pragma once

#include "DeviceLine.h"
#include "TimerLine.h"

#include <QObject>
#include <QString>

#include <memory>

class QThread;
class TimingDeviceWorker;

// A timing device on a serial port: reads its lines on a thread of its own, stamps each with its
// arrival as the bytes come in, and hands them to the GUI thread in batches. A port that cannot be
// opened, or fails (unplugged), is tried again every second until it is back.
class TimingDevice : public QObject
{
    Q_OBJECT
public:
    explicit TimingDevice(QObject *parent = nullptr);
    ~TimingDevice() override;

    // Opens path (a device such as /dev/ttyUSB0) at baud, 8N1; an empty path closes. Returns at
    // once; the outcome comes as opened() or failed().
    void open(const QString &path, TimerModel model, int baud);
    void close();
    QString path() const { return m_path; }

    // How often a port that is gone is tried again.
    static constexpr int RetryMs = 1000;

signals:
    void linesRead(const DeviceLines &lines);
    void opened(const QString &path);
    // reason: the system's text. The port is tried again.
    void failed(const QString &path, const QString &reason);
    void closed();

private:
    std::unique_ptr<QThread> m_thread;
    TimingDeviceWorker *m_worker = nullptr; // lives on m_thread
    QString m_path;
};
