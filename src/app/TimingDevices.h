#pragma once

#include "BoardPicture.h"
#include "DeviceLine.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class DeviceImpulses;
class LiveState;
class QLabel;
class QStatusBar;
class Scoreboard;
class TimingDevice;

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

    // A line that could not be read is repainted at most this often, however many come.
    static constexpr int BadLineRepaintMs = 250;
    // The word on unreadable lines goes after this long without another one.
    static constexpr int BadLineShownMs = 60'000;

private:
    // What the status bar says of one port.
    struct PortWord
    {
        enum State
        {
            Off,     // nothing configured: nothing said
            Opening, // not yet known
            Open,
            Gone
        };
        QString path;
        State state = Off;
        QString reason;
    };
    // What was last applied to a board.
    struct BoardSetting
    {
        QString path;
        BoardShows shows = BoardShows::Time;
        bool countdown = true;
        bool operator==(const BoardSetting &o) const
        {
            return path == o.path && shows == o.shows && countdown == o.countdown;
        }
    };

    template <class Port> void connectPort(Port &port, PortWord &word);
    void applyBoard(int n, const BoardSetting &setting);
    void linesRead(const DeviceLines &lines);
    void repaintBadLines();
    void clearBadLines();
    QString portText(const PortWord &word, int board) const;
    QString badLineText() const;
    void showStatus();

    DeviceImpulses &m_impulses;
    std::unique_ptr<TimingDevice> m_device;
    std::unique_ptr<Scoreboard> m_board1;
    std::unique_ptr<Scoreboard> m_board2;

    QString m_devPath; // as applied
    int m_devModel = -1;
    int m_devBaud = 0;
    BoardSetting m_boardSetting[2];
    PortWord m_deviceWord;
    PortWord m_boardWord[2];

    int m_badLines = 0; // since the word on them was last cleared
    TimerLine::Fault m_lastFault = TimerLine::NoFault;
    QByteArray m_lastBadRaw;
    QDateTime m_lastBadArrival;
    bool m_badLinePending = false;
    QTimer m_badLineRepaint;
    QTimer m_badLineExpiry;
};
