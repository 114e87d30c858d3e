#pragma once

#include "DeviceLine.h"
#include "PortThread.h"
#include "TimerLine.h"


class TimingDeviceWorker;

// A timing device on a serial port: reads its lines on a thread of its own, stamps each with its
// arrival as the bytes come in, and hands them to the GUI thread in batches. A port that cannot be
// opened, or fails (unplugged), is tried again every second until it is back.
class TimingDevice : public PortThread
{
    Q_OBJECT
public:
    explicit TimingDevice(QObject *parent = nullptr);
    ~TimingDevice() override;

    // Opens path (a device such as /dev/ttyUSB0) at baud, 8N1; an empty path closes. Returns at
    // once; the outcome comes as opened() or failed().
    void open(const QString &path, TimerModel model, int baud);
    void close();

signals:
    void linesRead(const DeviceLines &lines);

private:
    TimingDeviceWorker *m_worker = nullptr; // lives on the port's thread
};
