#pragma once

#include <QObject>
#include <QString>

#include <memory>

class DeviceImpulses;
class LiveState;
class QLabel;
class QStatusBar;
class Scoreboard;
class TimingDevice;
struct DeviceLine;

// The timing device and the scoreboards as the settings name them: opens and closes their ports,
// passes the device's lines to the run, and says in the status bar what is connected, what is gone
// and what the device sent that could not be read. Timing by keys and the other ports go on
// whatever a port does.
class TimingDevices : public QObject
{
    Q_OBJECT
public:
    TimingDevices(const LiveState &state, DeviceImpulses &impulses, QStatusBar &statusBar,
                  QObject *parent = nullptr);
    ~TimingDevices() override;

    // Opens, moves or closes the ports as the settings say; a port already open as they say is
    // left alone.
    void apply();
    void applyTexts();
    void closeAll();

    TimingDevice &device() { return *m_device; }
    Scoreboard &board(int n) { return n == 1 ? *m_board1 : *m_board2; }

    QLabel *lDevices = nullptr; // the status bar's word on the device and the boards

private:
    void showStatus();

    DeviceImpulses &m_impulses;
    std::unique_ptr<TimingDevice> m_device;
    std::unique_ptr<Scoreboard> m_board1;
    std::unique_ptr<Scoreboard> m_board2;
};
