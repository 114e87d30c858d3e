#pragma once

#include "BoardPicture.h"
#include "PortThread.h"

class LiveState;
class ScoreboardWorker;

// An LED scoreboard on a serial port (2400 baud, 8N1), fed from snapshots of the live state on a
// thread of its own: never more lines than the line carries, the newest picture winning. A board
// that is gone is tried again every second and gets the current line when it is back.
class Scoreboard : public PortThread
{
    Q_OBJECT
public:
    explicit Scoreboard(const LiveState &state, QObject *parent = nullptr);
    ~Scoreboard() override;

    // An empty path closes.
    void open(const QString &path, BoardShows shows, bool countdown, int baud = 2400);
    void close();

signals:
    // A line went out (without its CR); for the tests and the log.
    void lineSent(const QByteArray &line);

private:
    ScoreboardWorker *m_worker = nullptr; // lives on the port's thread
};
