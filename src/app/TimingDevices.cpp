#include "TimingDevices.h"

#include "DeviceImpulses.h"
#include "Scoreboard.h"
#include "TimingDevice.h"

#include <QLabel>
#include <QStatusBar>

TimingDevices::TimingDevices(const LiveState &state, DeviceImpulses &impulses,
                             QStatusBar &statusBar, QObject *parent)
    : QObject(parent), m_impulses(impulses), m_device(std::make_unique<TimingDevice>()),
      m_board1(std::make_unique<Scoreboard>(state)), m_board2(std::make_unique<Scoreboard>(state))
{
    Q_UNUSED(statusBar)
}

TimingDevices::~TimingDevices() = default;

void TimingDevices::apply() {}
void TimingDevices::applyTexts() {}
void TimingDevices::closeAll() {}
void TimingDevices::showStatus() {}
