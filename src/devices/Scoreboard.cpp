#include "Scoreboard.h"

#include "BoardLines.h"
#include "LiveState.h"
#include "RunState.h"
#include "SerialLink.h"
#include "TickSource.h"

#include <QSerialPort>
#include <QTimer>

// Owns the board's port on the writing thread. Everything here runs on that thread.
class ScoreboardWorker : public QObject
{
    Q_OBJECT
public:
    explicit ScoreboardWorker(const LiveState &state) : m_state(state)
    {
        m_pace->setSingleShot(true);
        connect(m_pace, &QTimer::timeout, this, &ScoreboardWorker::update);
        // Read only to see the board go away; what it echoes is of no use.
        connect(&m_link.port(), &QSerialPort::readyRead, this, [this] { m_link.port().readAll(); });
        connect(&m_link, &SerialLink::opened, this, [this] {
            // Whatever it showed before it went away is stale: the current line goes out at once.
            m_sentAny = false;
            update();
        });
        connect(&m_link, &SerialLink::failed, m_pace, &QTimer::stop);
        connect(&m_link, &SerialLink::closed, m_pace, &QTimer::stop);
    }

    void open(const QString &path, BoardShows shows, bool countdown, int baud)
    {
        m_shows = shows;
        m_countdown = countdown;
        m_baud = baud;
        m_link.open(path, baud);
    }

    SerialLink &link() { return m_link; }

    // The picture as it stands now, sent if it is new and the line is free; otherwise it is
    // looked at again when the line is, and the newest picture then goes out.
    void update()
    {
        QSerialPort &port = m_link.port();
        if (!port.isOpen())
            return;
        const quint32 now = tickNow();
        const BoardPicture picture = boardPicture(*m_state.snapshot(), now, m_shows, m_countdown);
        if (m_sentAny && picture.line == m_lastLine && !picture.ticking) {
            m_pace->stop();
            return;
        }
        const int rate = lineRateMs(m_baud);
        if (m_sentAny) {
            const qint32 since = ticksBetween(m_lastTick, now);
            if (since >= 0 && since < rate) {
                m_pace->start(rate - since);
                return;
            }
        }
        // A board that takes nothing gets no backlog of old times, only the newest one later.
        if (port.bytesToWrite() < 2 * BoardLines::LineLength) {
            port.write(picture.line + '\r');
            m_lastLine = picture.line;
            m_lastTick = now;
            m_sentAny = true;
            emit lineSent(picture.line);
        }
        if (picture.ticking || m_lastLine != picture.line)
            m_pace->start(rate);
        else
            m_pace->stop();
    }

    static int lineRateMs(int baud)
    {
        const int bits = BoardLines::LineLength * 10 * 1000;
        return qMax(100, (bits + qMax(1, baud) - 1) / qMax(1, baud));
    }

signals:
    void lineSent(const QByteArray &line);

private:
    const LiveState &m_state;
    SerialLink m_link{QIODevice::ReadWrite, this};
    QTimer *m_pace = new QTimer(this); // the next look at the picture
    BoardShows m_shows = BoardShows::Time;
    bool m_countdown = true;
    int m_baud = 2400;
    bool m_sentAny = false;
    QByteArray m_lastLine;
    quint32 m_lastTick = 0;
};

Scoreboard::Scoreboard(const LiveState &state, QObject *parent)
    : PortThread(QStringLiteral("Scoreboard"), parent), m_worker(new ScoreboardWorker(state))
{
    for (auto signal : {&LiveState::titlesChanged, &LiveState::starterChanged,
                        &LiveState::runChanged, &LiveState::resultsChanged})
        connect(&state, signal, m_worker, &ScoreboardWorker::update, Qt::QueuedConnection);
    connect(m_worker, &ScoreboardWorker::lineSent, this, &Scoreboard::lineSent);
    adopt(m_worker, m_worker->link());
}

Scoreboard::~Scoreboard() = default;

void Scoreboard::open(const QString &path, BoardShows shows, bool countdown, int baud)
{
    if (path.isEmpty()) {
        close();
        return;
    }
    setPath(path);
    QMetaObject::invokeMethod(m_worker, [w = m_worker, path, shows, countdown, baud] {
        w->open(path, shows, countdown, baud);
    });
}

void Scoreboard::close()
{
    setPath({});
    QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->link().close(); });
}

#include "Scoreboard.moc"
