#pragma once

#include "LiveSnapshot.h"
#include "ShowArenas.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class QTcpServer;
class QTcpSocket;
class HttpRequestHead;

// What one server allows its clients.
struct LiveServerLimits
{
    int maxConnections = 500;
    int maxHeadBytes = 8192;
    qint64 requestMs = 10'000;   // from a request's first byte to its end
    qint64 idleMs = 10'000;      // a kept-alive connection without a request
    qint64 heartbeatMs = 15'000; // a comment on a quiet event stream
    // Unsent output: past it an event stream's client is dropped and reconnects, and a client's
    // next request waits until its answers have gone out.
    qint64 maxBacklog = 1 << 20;
    int sweepIntervalMs = 1000; // the one timer that looks after every connection
    int coalesceMs = 5;         // changes this close together go out as one
    // New results go out at once. The run alone (its time base: the pages tick by themselves) at
    // most once in this time, so a photocell ringing cannot crowd the clock off the cores.
    int runGapMs = 100;
};

// The live results server: a small HTTP/1.1 server for the pages, the data routes and the event
// stream. It lives on a thread of its own and serves the latest snapshot it was given; it never
// waits on the GUI thread, and a slow or vanished client costs only its own connection.
class LiveServer : public QObject
{
    Q_OBJECT
public:
    explicit LiveServer(const LiveServerLimits &limits = {}, QObject *parent = nullptr);
    ~LiveServer() override;

    // Milliseconds of a monotonic clock for the limits' times; tests move their own.
    void setClock(std::function<qint64()> clock);
    // Closes the connections whose time is up and keeps quiet streams alive. The sweep timer
    // calls it; tests call it after moving the clock.
    void sweep();

    bool isListening() const;
    quint16 port() const;
    int connectionCount() const { return int(m_connections.size()); }
    int streamCount() const { return m_streamCount; }
    // Why the last listen failed.
    const QString &errorString() const { return m_error; }

public slots:
    // Reports listening(port actually taken) or failed(port, reason).
    bool listen(const QHostAddress &address, quint16 port);
    // Stops listening and drops every client at once.
    void close();
    // The live state to serve; a burst of them goes out to the event streams once.
    void publish(std::shared_ptr<const LiveSnapshot> snapshot);
    // The page's texts (a JSON object); open event streams get them at once.
    void setTexts(const QByteArray &textsJson);
    // Every arena of the show, served on "/show" and "/api/show.json"; null: neither is served.
    void setShow(std::shared_ptr<const ShowArenas> show);

signals:
    void listening(quint16 port);
    void failed(quint16 port, const QString &reason);

private:
    struct Connection
    {
        QByteArray input;
        qint64 since = 0; // the request's first byte, or the last response's progress
        bool stream = false;
        bool closing = false;
        qint64 lastWrite = 0;
    };

    void accept(qintptr descriptor);
    void readClient(QTcpSocket *socket);
    void respond(QTcpSocket *socket, Connection &connection, const HttpRequestHead &request);
    void refuse(QTcpSocket *socket, int status);
    void openStream(QTcpSocket *socket, Connection &connection);
    bool send(QTcpSocket *socket, Connection &connection, const QByteArray &bytes);
    void drop(QTcpSocket *socket);
    void broadcast();
    void sendToStreams(const QByteArray &bytes);

    QByteArray texts() const;
    const QByteArray &wholeRowsMessage();
    // The results in one format, made once per revision of the protocol.
    const QByteArray &cachedResults(int format);
    QByteArray liveEvent() const;

    LiveServerLimits m_limits;
    std::function<qint64()> m_clock;
    QTcpServer *m_server = nullptr;
    // Children, so they move to the server's thread with it.
    QTimer *m_sweep = new QTimer(this);
    QTimer *m_coalesce = new QTimer(this);
    std::unordered_map<QTcpSocket *, Connection> m_connections;
    int m_streamCount = 0;

    std::shared_ptr<const LiveSnapshot> m_snapshot = std::make_shared<const LiveSnapshot>();
    // What the streams were last sent: the rows message of the next change is made against it.
    QList<QStringList> m_sentRows;
    quint64 m_sentRevision = 0;
    bool m_pending = false;
    QElapsedTimer m_rate;
    qint64 m_lastBroadcast = -1'000'000; // on m_rate
    QByteArray m_texts;
    QString m_error;
    std::shared_ptr<const ShowArenas> m_show;

    quint64 m_cacheRevision = 0;
    QByteArray m_cache[4];
    bool m_cached[4] = {};
};
