#include "Scoreboard.h"

#include "BoardLines.h"
#include "LiveState.h"
#include "RunState.h"
#include "TickSource.h"

#include <QSerialPort>
#include <QThread>
#include <QTimer>

// Owns the board's port on the writing thread. Everything here runs on that thread.
class ScoreboardWorker : public QObject
{
    Q_OBJECT
public:
    explicit ScoreboardWorker(const LiveState &state) : m_state(state) {}

    void open(const QString &path, BoardShows shows, bool countdown, int baud)
    {
        closePort();
        m_path = path;
        m_shows = shows;
        m_countdown = countdown;
        m_baud = baud;
        m_failing = false;
        tryOpen();
    }

    void close()
    {
        closePort();
        m_path.clear();
        m_failing = false;
        emit closed();
    }

    // The picture as it stands now, sent if it is new and the line is free; otherwise it is
    // looked at again when the line is, and the newest picture then goes out.
    void update()
    {
        if (!m_port || !m_port->isOpen())
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
        if (m_port->bytesToWrite() < 2 * BoardLines::LineLength) {
            m_port->write(picture.line + '\r');
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
    void opened(const QString &path);
    void failed(const QString &path, const QString &reason);
    void closed();
    void lineSent(const QByteArray &line);

private:
    void ensurePort()
    {
        if (m_port)
            return;
        m_port = new QSerialPort(this);
        // Read only to see the board go away; what it echoes is of no use.
        connect(m_port, &QSerialPort::readyRead, this, [this] { m_port->readAll(); });
        connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
            // Hung up, unplugged or no longer taking lines: gone until it opens again.
            if ((e == QSerialPort::ResourceError || e == QSerialPort::ReadError ||
                 e == QSerialPort::WriteError) &&
                m_port->isOpen() && !m_closing)
                fail(m_port->errorString());
        });
        m_retry = new QTimer(this);
        m_retry->setInterval(Scoreboard::RetryMs);
        connect(m_retry, &QTimer::timeout, this, &ScoreboardWorker::tryOpen);
        m_pace = new QTimer(this);
        m_pace->setSingleShot(true);
        connect(m_pace, &QTimer::timeout, this, &ScoreboardWorker::update);
    }

    void tryOpen()
    {
        ensurePort();
        if (m_path.isEmpty())
            return;
        m_port->setPortName(m_path);
        m_port->setBaudRate(m_baud);
        m_port->setDataBits(QSerialPort::Data8);
        m_port->setParity(QSerialPort::NoParity);
        m_port->setStopBits(QSerialPort::OneStop);
        m_port->setFlowControl(QSerialPort::NoFlowControl);
        if (!m_port->open(QIODevice::ReadWrite)) {
            fail(m_port->errorString());
            return;
        }
        m_retry->stop();
        m_failing = false;
        emit opened(m_path);
        // Whatever it showed before it went away is stale: the current line goes out at once.
        m_sentAny = false;
        update();
    }

    void fail(const QString &reason)
    {
        closePort();
        if (!m_failing) {
            m_failing = true;
            emit failed(m_path, reason);
        }
        m_retry->start();
    }

    void closePort()
    {
        if (m_retry)
            m_retry->stop();
        if (m_pace)
            m_pace->stop();
        // A port hung up fails its closing too: that is no news.
        if (m_port && m_port->isOpen()) {
            m_closing = true;
            m_port->close();
            m_closing = false;
        }
    }

    const LiveState &m_state;
    QSerialPort *m_port = nullptr;
    QTimer *m_retry = nullptr;
    QTimer *m_pace = nullptr; // the next look at the picture
    QString m_path;
    BoardShows m_shows = BoardShows::Time;
    bool m_countdown = true;
    int m_baud = 2400;
    bool m_failing = false;
    bool m_closing = false;
    bool m_sentAny = false;
    QByteArray m_lastLine;
    quint32 m_lastTick = 0;
};

Scoreboard::Scoreboard(const LiveState &state, QObject *parent)
    : QObject(parent), m_state(state), m_thread(std::make_unique<QThread>()),
      m_worker(new ScoreboardWorker(state))
{
    m_thread->setObjectName(QStringLiteral("Scoreboard"));
    m_worker->moveToThread(m_thread.get());
    connect(m_thread.get(), &QThread::finished, m_worker, &QObject::deleteLater);
    for (auto signal : {&LiveState::titlesChanged, &LiveState::starterChanged,
                        &LiveState::runChanged, &LiveState::resultsChanged})
        connect(&state, signal, m_worker, &ScoreboardWorker::update, Qt::QueuedConnection);
    connect(m_worker, &ScoreboardWorker::opened, this, [this](const QString &path) {
        if (path == m_path)
            emit opened(path);
    });
    connect(m_worker, &ScoreboardWorker::failed, this,
            [this](const QString &path, const QString &reason) {
                if (path == m_path)
                    emit failed(path, reason);
            });
    connect(m_worker, &ScoreboardWorker::closed, this, &Scoreboard::closed);
    connect(m_worker, &ScoreboardWorker::lineSent, this, &Scoreboard::lineSent);
    m_thread->start();
}

Scoreboard::~Scoreboard()
{
    // The worker never blocks on its port: the wait is short.
    m_thread->quit();
    m_thread->wait();
}

void Scoreboard::open(const QString &path, BoardShows shows, bool countdown, int baud)
{
    if (path.isEmpty()) {
        close();
        return;
    }
    m_path = path;
    QMetaObject::invokeMethod(m_worker, [w = m_worker, path, shows, countdown, baud] {
        w->open(path, shows, countdown, baud);
    });
}

void Scoreboard::close()
{
    m_path.clear();
    QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->close(); });
}

#include "Scoreboard.moc"
