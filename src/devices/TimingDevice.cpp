#include "TimingDevice.h"

#include <QThread>

TimingDevice::TimingDevice(QObject *parent) : QObject(parent) {}

TimingDevice::~TimingDevice() = default;

void TimingDevice::open(const QString &path, TimerModel, int)
{
    m_path = path;
}

void TimingDevice::close()
{
    m_path.clear();
}
