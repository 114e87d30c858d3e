#include "FakeTickSource.h"
#include "HttpRequestHead.h"
#include "LiveServer.h"
#include "LiveState.h"
#include "LiveWeb.h"
#include "WebFormats.h"

#include <QTcpSocket>
#include <QTest>

namespace {
// A loopback client that keeps everything the server sent.
struct Client
{
    explicit Client(quint16 port) { socket.connectToHost(QHostAddress::LocalHost, port); }
    QTcpSocket socket;
    QByteArray received;

    bool send(const QByteArray &bytes)
    {
        return socket.waitForConnected() && (socket.write(bytes), socket.flush());
    }
    bool closed() { return socket.state() == QAbstractSocket::UnconnectedState; }
    const QByteArray &read() { return received += socket.readAll(); }
    // What followed the first response's head: a body, or a stream's events.
    QByteArray body() { return read().mid(HttpRequestHead::headLength(received)); }
};

QByteArray sse(const char *name, const QByteArray &data)
{
    return "event: " + QByteArray(name) + "\ndata: " + data + "\n\n";
}
QByteArray liveEvent(const LiveState &state)
{
    return sse("live", WebFormats::liveJson(*state.snapshot(), tickNow()));
}
} // namespace

class tst_LiveServer : public QObject
{
    Q_OBJECT

    FakeTickSource m_ticks{50'000};
    qint64 m_ms = 0;
    std::unique_ptr<LiveServer> m_server;

    quint16 startServer(const LiveServerLimits &limits = {})
    {
        m_server = std::make_unique<LiveServer>(limits);
        m_server->setClock([this] { return m_ms; });
        return m_server->listen(QHostAddress::LocalHost, 0) ? m_server->port() : 0;
    }

private slots:
    // Each head as parsed: its status, path and whether the connection stays.
    void refusedHeads_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QString>("expected");
        const auto row = [](const QByteArray &request, const char *expected) {
            QTest::newRow(request.left(40).simplified()) << request + "\r\n\r\n"
                                                         << QString(expected);
        };
        row("GET /a%2541%20b?x=%2F HTTP/1.1", "0 /a%41 b kept"); // query split, decoded once
        row("HEAD / HTTP/1.0\r\nConnection: Keep-Alive", "0 / kept");
        row("GET / HTTP/1.0", "0 / closes");
        row("GET / HTTP/1.1\r\nConnection: foo, close", "0 / closes");
        row("GET / HTTP/1.1\r\nContent-Length: 5", "0 / closes"); // a body is not read
        row("GET http://h:1/api/live.json HTTP/1.1", "0 /api/live.json kept");
        for (const char *method : {"POST", "PUT", "DELETE", "OPTIONS", "PATCH", "TRACE"})
            row(QByteArray(method) + " / HTTP/1.1", "405 / kept");
        row("GET /api/../api/live.json HTTP/1.1", "404 /api/../api/live.json kept");
        row("GET /%2e%2e/x HTTP/1.1", "404 /../x kept");
        for (const char *encoded : {"%2F", "%2f", "%5C", "%5c", "%00"})
            row("GET /api" + QByteArray(encoded) + "live.json HTTP/1.1", "404");
        for (const char *bad : {"GET /", "GET / HTTP/2.0", "GET api HTTP/1.1", "GET /%zz HTTP/1.1",
                                "GET / HTTP/1.1\r\nA: b\r\n c", "GET / HTTP/1.1\r\nHost : x"})
            row(bad, "400");
        row("GET / HTTP/1.1\r\nX: " + QByteArray(8200, 'x'), "431  closes");
    }
    void refusedHeads()
    {
        QFETCH(QByteArray, head);
        QFETCH(QString, expected);
        QCOMPARE(HttpRequestHead::headLength(head + "GET"), head.size());
        QCOMPARE(HttpRequestHead::headLength(head.chopped(1)), 0);
        const HttpRequestHead request = HttpRequestHead::parse(head);
        const QString parsed = QString::number(request.status()) + ' ' + request.path() +
                               (request.keepAlive() ? " kept" : " closes");
        QVERIFY2(parsed.startsWith(expected), qPrintable(parsed));
    }

    void routes_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("expected"); // the response's head begins so
        const auto row = [](const QByteArray &request, const char *status, const char *type) {
            QTest::newRow(request.left(40).simplified())
                << request + "\r\n\r\n"
                << "HTTP/1.1 " + QByteArray(status) + "\r\nContent-Type: " + type +
                       "; charset=utf-8";
        };
        row("GET /api/live.json?x HTTP/1.1", "200 OK", "application/json");
        row("GET /api/results.json HTTP/1.1", "200 OK", "application/json");
        row("GET /api/results.xml HTTP/1.1", "200 OK", "application/xml");
        row("HEAD /api/results.csv HTTP/1.1", "200 OK", "text/csv");
        row("GET /api/texts.json HTTP/1.1", "200 OK", "application/json");
        row("GET /app.js HTTP/1.1", "200 OK", "application/javascript");
        row("GET /overlay/leaders HTTP/1.1", "200 OK", "text/html");
        row("GET /overlay.css HTTP/1.1", "200 OK", "text/css");
        // Only the fixed routes: no other name reaches a resource.
        for (const char *path : {"/api/results.pdf", "/index.html", "/web/app.js", "/APP.JS"})
            row("GET " + QByteArray(path) + " HTTP/1.1", "404 Not Found", "text/plain");
        // The show's pages only while it is followed (the server is given one unless 404).
        for (const char *path : {"/show?x", "/api/show.json?x"})
            row("GET " + QByteArray(path) + " HTTP/1.1", "404 Not Found", "text/plain");
        row("GET /show HTTP/1.1", "200 OK", "text/html");
        row("GET /api/show.json HTTP/1.1", "200 OK", "application/json");
        row("POST /api/live.json HTTP/1.1", "405 Method Not Allowed", "text/plain");
        row("GET /?" + QByteArray(9000, 'x') + " HTTP/1.1", "431 Request Header Fields Too Large",
            "text/plain");
    }
    // Each request twice on one connection: a kept-alive one answers both, a refused one closes.
    void routes()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, expected);
        LiveState state;
        state.setProtocol({{"St.Nr", "Rang"}, {"7", "1"}});
        const quint16 port = startServer();
        m_server->publish(state.snapshot());
        // Larger than the kernel takes at once, asked for twice: each answer goes out whole.
        const QByteArray rows = '[' + QByteArray(R"({"rank":"1"},)").repeated(300'000) + "{}]";
        const ShowArenas arenas{"Turnier", {{"A", true, {}, rows, 0}, {"B", true, {}, rows, 0}}};
        if (!expected.contains(" 404 "))
            m_server->setShow(std::make_shared<const ShowArenas>(arenas));
        Client client(port);
        QVERIFY(client.send(request + request));
        const bool kept = expected.contains(" 200 ") || expected.contains(" 404 ");
        QTRY_COMPARE(client.read().count("HTTP/1.1 "), kept ? 2 : 1);
        const QByteArray head = client.received.left(HttpRequestHead::headLength(client.received));
        QVERIFY2(head.startsWith(expected + "\r\n") && head.contains("nosniff"), head);
        QVERIFY(head.contains(kept ? "Connection: keep-alive" : "Connection: close"));
        QCOMPARE(head.contains("Allow: GET, HEAD"), expected.contains(" 405 "));
        if (request.startsWith("HEAD"))
            QVERIFY(client.received.endsWith("\r\n\r\n")); // no body after either head
        else
            QVERIFY(!head.contains("Content-Length: 0\r"));
        if (request.contains("results.json"))
            QVERIFY(client.received.contains(WebFormats::resultsJson(*state.snapshot()) + "HTTP"));
        if (request.startsWith("GET /api/show.json "))
            QVERIFY(client.received.contains(WebFormats::showJson(arenas, 0) + "HTTP"));
        QTRY_COMPARE(client.closed(), !kept);
    }

    // Past the limit a connection is answered at once; a trickling request and an idle
    // connection end after their 10 s, however the client behaves.
    void connectionLimits()
    {
        LiveServerLimits limits;
        limits.maxConnections = 3;
        const quint16 port = startServer(limits);
        Client trickling(port), idle(port), third(port);
        QVERIFY(idle.send("GET /api/live.json HTTP/1.1\r\n\r\n"));
        QVERIFY(third.send("G"));
        QTRY_COMPARE(m_server->connectionCount(), 3);
        Client fourth(port);
        QTRY_VERIFY(fourth.read().startsWith("HTTP/1.1 503 ") && fourth.closed());
        QCOMPARE(m_server->connectionCount(), 3);
        QTRY_COMPARE(idle.read().count("HTTP/1.1 "), 1);
        for (int second = 0; second < 10; ++second) {
            QVERIFY(!trickling.closed());
            QVERIFY(trickling.send(QByteArray(1, "GET / HTTP/1.1"[second])));
            QTest::qWait(0);
            m_ms += 999;
            m_server->sweep();
        }
        QVERIFY(!idle.closed());
        m_ms += 10;
        m_server->sweep();
        QTRY_VERIFY(trickling.closed() && idle.closed() && third.closed());
    }

    // Each burst of changes reaches an open stream once, in order, as its last state; a client
    // that comes later (or reconnects) gets the texts, the whole list and the live state.
    void streamFollowsTheRun()
    {
        LiveState state;
        const quint16 port = startServer();
        for (auto signal : {&LiveState::runChanged, &LiveState::resultsChanged})
            connect(&state, signal, this, [&] { m_server->publish(state.snapshot()); });
        m_server->setTexts(R"({"page":"Live"})");
        state.setProtocol({{"St.Nr", "Rang"}, {"3", "1"}});
        const auto rowsSince = [&](const LiveSnapshot &sent) {
            const LiveSnapshot &now = state.current();
            return sse("rows", WebFormats::rowsMessage(sent.protocol, sent.protocolRevision,
                                                       now.protocol, now.protocolRevision));
        };
        const auto whole = [&] {
            return "retry: 1000\n\n" + sse("texts", R"({"page":"Live"})") + rowsSince({}) +
                   liveEvent(state);
        };
        Client first(port);
        QVERIFY(first.send("GET /api/events HTTP/1.1\r\n\r\n"));
        QByteArray expected = whole();
        QTRY_COMPARE(first.body(), expected);

        const std::shared_ptr<const LiveSnapshot> before = state.snapshot();
        state.changeRun([](LiveRun &r) { r.start(tickNow()); });
        m_ticks.advance(61'200);
        state.changeRun([](LiveRun &r) { r.stop(tickNow()); });
        state.setProtocol({{"St.Nr", "Rang"}, {"12", "1"}, {"3", "2"}});
        state.changeRun([](LiveRun &r) { r.enter(); });
        expected += rowsSince(*before) + liveEvent(state);
        QTRY_COMPARE(first.body(), expected);
        state.changeRun([](LiveRun &r) { r.next(); }); // the rows stay: only the live state
        expected += liveEvent(state);
        QTRY_COMPARE(first.body(), expected);

        Client later(port);
        QVERIFY(later.send("GET /api/events HTTP/1.0\r\n\r\n"));
        QTRY_COMPARE(later.body(), whole());
        m_ms += 15'000; // both streams stay, kept alive
        m_server->sweep();
        QTRY_VERIFY(later.body().endsWith("\n: \n") && first.body().endsWith("\n: \n"));
    }

    // A phone that stops reading is dropped once its unsent output passes the limit.
    void stalledStreamDropped()
    {
        const quint16 port = startServer();
        Client stalled(port);
        stalled.socket.setReadBufferSize(1024);
        QVERIFY(stalled.send("GET /api/events HTTP/1.1\r\n\r\n"));
        QTRY_COMPARE(m_server->streamCount(), 1);
        for (char c = 'a'; c < 'f' && m_server->streamCount() > 0; ++c)
            m_server->setTexts("\"" + QByteArray(5 << 20, c) + '"');
        QCOMPARE(m_server->connectionCount(), 0);
    }

    void pageAddress()
    {
        QCOMPARE(LiveWeb::pageAddress("fe80::1", 8080), "http://[fe80::1]:8080/");
        // All networks: a machine's own address a phone can reach, never the wildcard.
        for (const char *host : {"", "0.0.0.0", "::"})
            QVERIFY(QHostAddress(LiveWeb::pageAddress(host, 8080).mid(7).chopped(6)).protocol() ==
                        QAbstractSocket::IPv4Protocol &&
                    !LiveWeb::pageAddress(host, 8080).contains("0.0.0.0"));
    }
};

QTEST_GUILESS_MAIN(tst_LiveServer)
#include "tst_liveserver.moc"
