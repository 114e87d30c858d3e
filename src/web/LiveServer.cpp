#include "LiveServer.h"

#include "HttpRequestHead.h"
#include "TickSource.h"
#include "WebFormats.h"
#include "WebPages.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
enum CachedFormat
{
    JsonResults,
    XmlResults,
    CsvResults,
    WholeRows
};

// Hands every accepted descriptor to the server before Qt queues it, so a connection past the
// limit is answered and closed at once instead of waiting in a queue.
class AcceptingServer : public QTcpServer
{
public:
    AcceptingServer(std::function<void(qintptr)> accept, QObject *parent)
        : QTcpServer(parent), m_accept(std::move(accept))
    {}

protected:
    void incomingConnection(qintptr descriptor) override { m_accept(descriptor); }

private:
    std::function<void(qintptr)> m_accept;
};

const char *reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    default:
        return "Error";
    }
}

QByteArray responseHead(int status, const QByteArray &contentType, qint64 length, bool api,
                        bool keepAlive, const QByteArray &extra = {})
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
                      "\r\nContent-Type: " + contentType;
    if (length >= 0)
        head += "\r\nContent-Length: " + QByteArray::number(length);
    head += "\r\nX-Content-Type-Options: nosniff";
    if (api)
        head += "\r\nCache-Control: no-store\r\nAccess-Control-Allow-Origin: *";
    else
        head += "\r\nContent-Security-Policy: default-src 'self'; style-src 'self' "
                "'unsafe-inline'";
    head += extra;
    head += keepAlive ? "\r\nConnection: keep-alive\r\n\r\n" : "\r\nConnection: close\r\n\r\n";
    return head;
}

QByteArray errorResponse(int status, bool keepAlive)
{
    const QByteArray body = QByteArray::number(status) + ' ' + reasonPhrase(status) + '\n';
    return responseHead(status, "text/plain; charset=utf-8", body.size(), false, keepAlive,
                        status == 405 ? "\r\nAllow: GET, HEAD" : QByteArray()) +
           body;
}

// One event of the stream. A line break in the data would end the event early: each line goes
// out as a data line of its own, which the browser joins again.
QByteArray streamEvent(const char *name, const QByteArray &data)
{
    QByteArray event = QByteArray("event: ") + name + '\n';
    for (const QByteArray &line : data.split('\n'))
        event += "data: " + line + '\n';
    return event + '\n';
}

qint64 steadyMs()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}
} // namespace

LiveServer::LiveServer(const LiveServerLimits &limits, QObject *parent)
    : QObject(parent), m_limits(limits), m_clock(steadyMs)
{
    m_sweep->setInterval(m_limits.sweepIntervalMs);
    connect(m_sweep, &QTimer::timeout, this, &LiveServer::sweep);
    m_coalesce->setSingleShot(true);
    m_coalesce->setInterval(m_limits.coalesceMs);
    m_rate.start();
    connect(m_coalesce, &QTimer::timeout, this, &LiveServer::broadcast);
}

LiveServer::~LiveServer()
{
    close();
}

void LiveServer::setClock(std::function<qint64()> clock)
{
    m_clock = std::move(clock);
}

bool LiveServer::isListening() const
{
    return m_server && m_server->isListening();
}

quint16 LiveServer::port() const
{
    return isListening() ? m_server->serverPort() : 0;
}

bool LiveServer::listen(const QHostAddress &address, quint16 port)
{
    close();
    m_server = new AcceptingServer([this](qintptr descriptor) { accept(descriptor); }, this);
    if (!m_server->listen(address, port)) {
        m_error = m_server->errorString();
        delete m_server;
        m_server = nullptr;
        emit failed(port, m_error);
        return false;
    }
    m_sweep->start();
    emit listening(m_server->serverPort());
    return true;
}

void LiveServer::close()
{
    m_sweep->stop();
    delete m_server;
    m_server = nullptr;
    std::vector<QTcpSocket *> sockets;
    for (const auto &entry : m_connections)
        sockets.push_back(entry.first);
    for (QTcpSocket *socket : sockets)
        drop(socket);
}

void LiveServer::publish(std::shared_ptr<const LiveSnapshot> snapshot)
{
    if (!snapshot)
        return;
    m_snapshot = std::move(snapshot);
    const bool results = m_snapshot->protocolRevision != m_sentRevision;
    const int wait =
        results ? m_limits.coalesceMs
                : int(std::max<qint64>(m_limits.coalesceMs,
                                       m_lastBroadcast + m_limits.runGapMs - m_rate.elapsed()));
    // A result arriving while the run waits its turn goes out with it at once.
    if (!m_pending || m_coalesce->remainingTime() > wait)
        m_coalesce->start(wait);
    m_pending = true;
}

void LiveServer::setTexts(const QByteArray &textsJson)
{
    if (textsJson == m_texts)
        return;
    m_texts = textsJson;
    if (m_streamCount > 0)
        sendToStreams(streamEvent("texts", texts()));
}

void LiveServer::accept(qintptr descriptor)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (int(m_connections.size()) >= m_limits.maxConnections) {
        socket->write(errorResponse(503, false));
        socket->flush();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        if (socket->state() == QAbstractSocket::UnconnectedState)
            socket->deleteLater();
        return;
    }
    Connection &connection = m_connections[socket];
    connection.since = m_clock();
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readClient(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
        auto it = m_connections.find(socket);
        if (it == m_connections.end() || it->second.stream)
            return;
        // A response on its way: the connection is not idle while the client keeps reading.
        it->second.since = m_clock();
        // A request that waited for the answers before it is taken up once they have gone out,
        // after this write: never answered inside another.
        if ((!it->second.input.isEmpty() || socket->bytesAvailable() > 0) &&
            socket->bytesToWrite() <= m_limits.maxBacklog)
            QMetaObject::invokeMethod(
                socket, [this, socket] { readClient(socket); }, Qt::QueuedConnection);
    });
    // What a client sends while it waits stays with TCP, not in this program's memory.
    socket->setReadBufferSize(m_limits.maxHeadBytes);
}

void LiveServer::readClient(QTcpSocket *socket)
{
    auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    Connection &connection = it->second;
    // A stream's client has nothing more to ask; a closing one has been answered.
    if (connection.stream || connection.closing) {
        socket->readAll();
        return;
    }
    // A client that asks again before it has taken its answers waits: a large answer goes out
    // whole, but answers do not pile up.
    if (socket->bytesToWrite() > m_limits.maxBacklog)
        return;
    const QByteArray data = socket->readAll();
    if (connection.input.isEmpty() && !data.isEmpty())
        connection.since = m_clock();
    connection.input += data;
    while (!connection.closing && !connection.stream && !connection.input.isEmpty() &&
           socket->bytesToWrite() <= m_limits.maxBacklog) {
        const qsizetype length = HttpRequestHead::headLength(connection.input);
        if (length == 0) {
            if (connection.input.size() > m_limits.maxHeadBytes)
                refuse(socket, 431);
            return;
        }
        const HttpRequestHead request = HttpRequestHead::parse(
            QByteArrayView(connection.input).first(length), m_limits.maxHeadBytes);
        connection.input.remove(0, length);
        connection.since = m_clock();
        respond(socket, connection, request);
        if (m_connections.find(socket) == m_connections.end())
            return;
    }
}

void LiveServer::refuse(QTcpSocket *socket, int status)
{
    auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    Connection &connection = it->second;
    connection.input.clear();
    connection.closing = true;
    connection.since = m_clock();
    socket->write(errorResponse(status, false));
    socket->disconnectFromHost();
}

void LiveServer::respond(QTcpSocket *socket, Connection &connection, const HttpRequestHead &request)
{
    const int status = request.status();
    // A path refused as not found leaves the connection as good as any 404.
    if (status != 0 && !(status == 404 && request.keepAlive())) {
        refuse(socket, status);
        return;
    }
    const bool keepAlive = request.keepAlive();
    const QString &path = request.path();
    QByteArray contentType;
    QByteArray body;
    bool api = path.startsWith(QLatin1String("/api/"));
    if (status != 0) {
        send(socket, connection, errorResponse(status, true));
        return;
    }
    // The show's page only while the program follows a show; an empty path finds no page.
    const QStringView pagePath =
        path == QLatin1String("/show") && !m_show ? QStringView() : QStringView(path);
    if (path == QLatin1String("/api/events")) {
        if (!request.isHead()) {
            openStream(socket, connection);
            return;
        }
        contentType = "text/event-stream; charset=utf-8";
    } else if (path == QLatin1String("/api/live.json")) {
        contentType = "application/json; charset=utf-8";
        body = WebFormats::liveJson(*m_snapshot, tickNow());
    } else if (path == QLatin1String("/api/texts.json")) {
        contentType = "application/json; charset=utf-8";
        body = texts();
    } else if (path == QLatin1String("/api/results.json")) {
        contentType = "application/json; charset=utf-8";
        body = cachedResults(JsonResults);
    } else if (path == QLatin1String("/api/results.xml")) {
        contentType = "application/xml; charset=utf-8";
        body = cachedResults(XmlResults);
    } else if (path == QLatin1String("/api/results.csv")) {
        contentType = "text/csv; charset=utf-8";
        body = cachedResults(CsvResults);
    } else if (path == QLatin1String("/api/show.json") && m_show) {
        contentType = "application/json; charset=utf-8";
        body = WebFormats::showJson(*m_show, showClockMs());
    } else if (std::optional<WebPage> page = WebPages::find(pagePath)) {
        api = false;
        contentType = page->contentType;
        body = page->body;
    } else {
        if (keepAlive)
            send(socket, connection, errorResponse(404, true));
        else
            refuse(socket, 404);
        return;
    }
    QByteArray response = responseHead(200, contentType, body.size(), api, keepAlive);
    if (!request.isHead())
        response += body;
    if (!send(socket, connection, response))
        return;
    if (!keepAlive) {
        connection.closing = true;
        connection.input.clear();
        socket->disconnectFromHost();
    }
}

void LiveServer::openStream(QTcpSocket *socket, Connection &connection)
{
    // The rows go out as the streams have them, so the next change applies to this one too.
    if (m_pending) {
        m_coalesce->stop();
        broadcast();
    }
    connection.stream = true;
    connection.input.clear();
    ++m_streamCount;
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    QByteArray bytes = responseHead(200, "text/event-stream; charset=utf-8", -1, true, true);
    bytes += "retry: 1000\n\n";
    bytes += streamEvent("texts", texts());
    bytes += wholeRowsMessage();
    bytes += liveEvent();
    send(socket, connection, bytes);
}

bool LiveServer::send(QTcpSocket *socket, Connection &connection, const QByteArray &bytes)
{
    socket->write(bytes);
    socket->flush();
    connection.lastWrite = m_clock();
    // A stream's client that does not read falls behind for good: it is dropped, and its browser
    // reconnects and catches up from the whole list. A response goes out whole, however large;
    // one whose client stops reading ends with the idle time.
    if (connection.stream && socket->bytesToWrite() > m_limits.maxBacklog) {
        drop(socket);
        return false;
    }
    return true;
}

void LiveServer::drop(QTcpSocket *socket)
{
    auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    if (it->second.stream)
        --m_streamCount;
    m_connections.erase(it);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void LiveServer::sweep()
{
    const qint64 now = m_clock();
    std::vector<QTcpSocket *> expired;
    std::vector<QTcpSocket *> quiet;
    for (const auto &[socket, connection] : m_connections) {
        if (connection.stream) {
            if (now - connection.lastWrite >= m_limits.heartbeatMs)
                quiet.push_back(socket);
            continue;
        }
        // A request under way must be complete in its time however slowly it trickles; a
        // connection without one, or one being answered, ends when nothing moves.
        const qint64 limit = connection.input.isEmpty() ? m_limits.idleMs : m_limits.requestMs;
        if (now - connection.since >= limit)
            expired.push_back(socket);
    }
    for (QTcpSocket *socket : expired)
        drop(socket);
    for (QTcpSocket *socket : quiet) {
        auto it = m_connections.find(socket);
        if (it != m_connections.end())
            send(socket, it->second, ": \n");
    }
}

void LiveServer::broadcast()
{
    m_pending = false;
    m_lastBroadcast = m_rate.elapsed();
    const LiveSnapshot &snapshot = *m_snapshot;
    QByteArray bytes;
    if (snapshot.protocolRevision != m_sentRevision) {
        if (m_streamCount > 0)
            bytes = streamEvent("rows", WebFormats::rowsMessage(m_sentRows, m_sentRevision,
                                                                snapshot.protocol,
                                                                snapshot.protocolRevision));
        m_sentRows = snapshot.protocol;
        m_sentRevision = snapshot.protocolRevision;
    }
    if (m_streamCount == 0)
        return;
    bytes += liveEvent();
    sendToStreams(bytes);
}

void LiveServer::sendToStreams(const QByteArray &bytes)
{
    std::vector<QTcpSocket *> streams;
    streams.reserve(size_t(m_streamCount));
    for (const auto &[socket, connection] : m_connections)
        if (connection.stream)
            streams.push_back(socket);
    for (QTcpSocket *socket : streams) {
        auto it = m_connections.find(socket);
        if (it != m_connections.end())
            send(socket, it->second, bytes);
    }
}

QByteArray LiveServer::texts() const
{
    if (!m_texts.isEmpty())
        return m_texts;
    // Until the program gives its own: the German texts and the protocol's headings.
    QJsonArray headings;
    if (!m_snapshot->protocol.isEmpty())
        for (const QString &heading : m_snapshot->protocol.first())
            headings.append(WebFormats::validText(heading));
    return QJsonDocument(QJsonObject{{"headings", headings},
                                     {"page", QStringLiteral("Live-Ergebnisse")},
                                     {"lastResult", QStringLiteral("Letztes Ergebnis")},
                                     {"toBeat", QStringLiteral("Zu schlagen")},
                                     {"offline", QStringLiteral("Verbindung unterbrochen")},
                                     {"starter", QStringLiteral("Am Start")}})
        .toJson(QJsonDocument::Compact);
}

const QByteArray &LiveServer::cachedResults(int format)
{
    if (m_cacheRevision != m_snapshot->protocolRevision) {
        m_cacheRevision = m_snapshot->protocolRevision;
        for (bool &cached : m_cached)
            cached = false;
    }
    if (!m_cached[format]) {
        const LiveSnapshot &snapshot = *m_snapshot;
        switch (format) {
        case JsonResults:
            m_cache[format] = WebFormats::resultsJson(snapshot);
            break;
        case XmlResults:
            m_cache[format] = WebFormats::resultsXml(snapshot);
            break;
        case CsvResults:
            m_cache[format] = WebFormats::resultsCsv(snapshot);
            break;
        default:
            m_cache[format] =
                streamEvent("rows", WebFormats::rowsMessage({}, 0, snapshot.protocol,
                                                            snapshot.protocolRevision));
        }
        m_cached[format] = true;
    }
    return m_cache[format];
}

const QByteArray &LiveServer::wholeRowsMessage()
{
    return cachedResults(WholeRows);
}

QByteArray LiveServer::liveEvent() const
{
    return streamEvent("live", WebFormats::liveJson(*m_snapshot, tickNow()));
}

void LiveServer::setShow(std::shared_ptr<const ShowArenas> show)
{
    m_show = std::move(show);
}
