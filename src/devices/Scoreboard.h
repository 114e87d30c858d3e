#pragma once

#include "BoardPicture.h"

#include <QObject>
#include <QString>

#include <memory>

class LiveState;
class QThread;
class ScoreboardWorker;

// An LED scoreboard on a serial port (2400 baud, 8N1), fed from snapshots of the live state on a
// thread of its own: never more lines than the line carries, the newest picture winning. A board
// that is gone is tried again every second and gets the current line when it is back.
class Scoreboard : public QObject
{
    Q_OBJECT
public:
    explicit Scoreboard(const LiveState &state, QObject *parent = nullptr);
    ~Scoreboard() override;

    // An empty path closes.
    void open(const QString &path, BoardShows shows, bool countdown, int baud = 2400);
    void close();
    QString path() const { return m_path; }

    // How often a board that is gone is tried again.
    static constexpr int RetryMs = 1000;

signals:
    void opened(const QString &path);
    void failed(const QString &path, const QString &reason);
    void closed();
    // A line went out (without its CR); for the tests and the log.
    void lineSent(const QByteArray &line);

private:
    const LiveState &m_state;
    std::unique_ptr<QThread> m_thread;
    ScoreboardWorker *m_worker = nullptr;
    QString m_path;
};
