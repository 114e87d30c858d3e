#include "FakeTickSource.h"
#include "HttpRequestHead.h"
#include "LiveServer.h"
#include "LiveState.h"
#include "LiveWeb.h"
#include "WebFormats.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {
struct Event
{
    QByteArray name, data;
    bool operator==(const Event &o) const { return name == o.name && data == o.data; }
};

// A loopback client that keeps everything the server sent.
struct Client
{
    explicit Client(quint16 port) { socket.connectToHost(QHostAddress::LocalHost, port); }
    QTcpSocket socket;
    QByteArray received;

    bool send(const QByteArray &bytes)
    {
        if (!QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }))
            return false;
        socket.write(bytes);
        return socket.flush();
    }
    bool closed() { return socket.state() == QAbstractSocket::UnconnectedState; }
    void read() { received += socket.readAll(); }
    // The responses complete so far, each head and body.
    QList<QPair<QByteArray, QByteArray>> responses(bool head = false)
    {
        read();
        QList<QPair<QByteArray, QByteArray>> list;
        QByteArrayView rest(received);
        while (qsizetype end = HttpRequestHead::headLength(rest)) {
            const QByteArray headText = rest.first(end).toByteArray();
            const qsizetype at = headText.indexOf("Content-Length: ");
            const qsizetype length =
                head || at < 0 ? 0 : headText.mid(at + 16).split('\r')[0].toLongLong();
            if (rest.size() < end + length)
                break;
            list.append({headText, rest.sliced(end, length).toByteArray()});
            rest = rest.sliced(end + length);
        }
        return list;
    }
    // The events of a stream so far.
    QList<Event> events()
    {
        read();
        QList<Event> list;
        qsizetype from = received.indexOf("\r\n\r\n") + 4;
        for (qsizetype end; (end = received.indexOf("\n\n", from)) >= 0; from = end + 2) {
            Event event;
            for (const QByteArray &line : received.mid(from, end - from).split('\n')) {
                if (line.startsWith("event: "))
                    event.name = line.mid(7);
                else if (line.startsWith("data: "))
                    event.data += line.mid(6);
            }
            if (!event.name.isEmpty())
                list.append(event);
        }
        return list;
    }
};

Event liveEvent(const LiveState &state)
{
    return {"live", WebFormats::liveJson(*state.snapshot(), tickNow())};
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
    void refusedHeads_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("keepAlive");
        const auto row = [](const char *name, const QByteArray &request, int status,
                            const QString &path, bool keepAlive) {
            QTest::newRow(name) << request + "\r\n\r\n" << status << path << keepAlive;
        };
        row("GET, query split, decoded once", "GET /a%2541%20b?x=%2F HTTP/1.1", 0, "/a%41 b", true);
        row("HTTP/1.0 asks for keep-alive", "HEAD / HTTP/1.0\r\nConnection: Keep-Alive", 0, "/",
            true);
        row("HTTP/1.0 closes", "GET / HTTP/1.0", 0, "/", false);
        row("1.1 says close", "GET / HTTP/1.1\r\nConnection: foo, close", 0, "/", false);
        row("a body is not read", "GET / HTTP/1.1\r\nContent-Length: 5", 0, "/", false);
        row("absolute form", "GET http://h:1/api/live.json HTTP/1.1", 0, "/api/live.json", true);
        for (const char *method : {"POST", "PUT", "DELETE", "OPTIONS", "PATCH", "TRACE"})
            row(method, QByteArray(method) + " / HTTP/1.1", 405, "/", true);
        row("dot segments", "GET /api/../api/live.json HTTP/1.1", 404, "/api/../api/live.json",
            true);
        row("encoded dots", "GET /%2e%2e/x HTTP/1.1", 404, "/../x", true);
        for (const char *encoded : {"%2F", "%2f", "%5C", "%5c", "%00"})
            row(encoded, "GET /api" + QByteArray(encoded) + "live.json HTTP/1.1", 404, {}, true);
        row("no version", "GET /", 400, {}, false);
        row("HTTP/2 text", "GET / HTTP/2.0", 400, {}, false);
        row("path not absolute", "GET api HTTP/1.1", 400, {}, false);
        row("bad escape", "GET /%zz HTTP/1.1", 400, {}, false);
        row("folded header", "GET / HTTP/1.1\r\nA: b\r\n c", 400, {}, false);
        row("blank before colon", "GET / HTTP/1.1\r\nHost : x", 400, {}, false);
        row("over 8 KB", "GET / HTTP/1.1\r\nX: " + QByteArray(8200, 'x'), 431, {}, false);
    }
    void refusedHeads()
    {
        QFETCH(QByteArray, head);
        QFETCH(int, status);
        QFETCH(QString, path);
        QFETCH(bool, keepAlive);
        QCOMPARE(HttpRequestHead::headLength(head + "GET"), head.size());
        QCOMPARE(HttpRequestHead::headLength(head.chopped(1)), 0);
        const HttpRequestHead request = HttpRequestHead::parse(head);
        QCOMPARE(request.status(), status);
        if (status == 0 || !path.isEmpty())
            QCOMPARE(request.path(), path);
        if (status != 400 && status != 431)
            QCOMPARE(request.keepAlive(), keepAlive);
    }

    void routes_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("headLine");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("live")
            << QByteArray("GET /api/live.json?x HTTP/1.1") << QByteArray("HTTP/1.1 200 OK")
            << QByteArray("Content-Type: application/json; charset=utf-8\r\nContent-Length: ");
        QTest::newRow("results json")
            << QByteArray("GET /api/results.json HTTP/1.1") << QByteArray("HTTP/1.1 200 OK")
            << QByteArray("Cache-Control: no-store\r\nAccess-Control-Allow-Origin: *");
        QTest::newRow("xml") << QByteArray("GET /api/results.xml HTTP/1.1")
                             << QByteArray("HTTP/1.1 200 OK")
                             << QByteArray("application/xml; charset=utf-8");
        QTest::newRow("csv, HEAD")
            << QByteArray("HEAD /api/results.csv HTTP/1.1") << QByteArray("HTTP/1.1 200 OK")
            << QByteArray("text/csv; charset=utf-8");
        QTest::newRow("texts") << QByteArray("GET /api/texts.json HTTP/1.1")
                               << QByteArray("HTTP/1.1 200 OK")
                               << QByteArray("application/json; charset=utf-8");
        QTest::newRow("unknown") << QByteArray("GET /api/results.pdf HTTP/1.1")
                                 << QByteArray("HTTP/1.1 404 Not Found")
                                 << QByteArray("Connection: keep-alive");
        QTest::newRow("POST") << QByteArray("POST /api/live.json HTTP/1.1")
                              << QByteArray("HTTP/1.1 405 Method Not Allowed")
                              << QByteArray("Allow: GET, HEAD");
        QTest::newRow("9 KB head") << "GET / HTTP/1.1\r\nX: " + QByteArray(9000, 'x')
                                   << QByteArray("HTTP/1.1 431 Request Header Fields Too Large")
                                   << QByteArray("Connection: close");
    }
    // Each request twice on one connection: a kept-alive one answers both, a refused one closes.
    void routes()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, headLine);
        QFETCH(QByteArray, expected);
        LiveState state;
        state.setProtocol({{"St.Nr", "Rang"}, {"7", "1"}});
        const quint16 port = startServer();
        m_server->publish(state.snapshot());
        Client client(port);
        QVERIFY(client.send(request + "\r\n\r\n" + request + "\r\n\r\n"));
        const bool kept = headLine.contains(" 200 ") || headLine.contains(" 404 ");
        const bool head = request.startsWith("HEAD");
        QTRY_COMPARE(client.responses(head).size(), kept ? 2 : 1);
        const auto [responseHead, body] = client.responses(head).first();
        QVERIFY2(responseHead.startsWith(headLine + "\r\n"), responseHead.constData());
        QVERIFY2(responseHead.contains(expected), responseHead.constData());
        QVERIFY(responseHead.contains("X-Content-Type-Options: nosniff"));
        if (head)
            QVERIFY(client.received.endsWith("\r\n\r\n"));
        else if (request.contains("results.json"))
            QCOMPARE(body, WebFormats::resultsJson(*state.snapshot()));
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
        QTRY_VERIFY((fourth.read(), fourth.received.startsWith("HTTP/1.1 503 ")));
        QTRY_VERIFY(fourth.closed());
        QCOMPARE(m_server->connectionCount(), 3);
        QTRY_COMPARE(idle.responses().size(), 1);
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
        QTRY_VERIFY(trickling.closed());
        QTRY_VERIFY(idle.closed());
        QTRY_VERIFY(third.closed());
    }

    // A scripted run: each change reaches an open stream once and in order, and a client that
    // comes later (or reconnects) gets the texts, the whole list and the live state.
    void streamFollowsTheRun()
    {
        LiveState state;
        const quint16 port = startServer();
        m_server->setTexts(R"({"page":"Live"})");
        state.setProtocol({{"St.Nr", "Rang"}, {"3", "1"}});
        m_server->publish(state.snapshot());
        Client first(port);
        QVERIFY(first.send("GET /api/events HTTP/1.1\r\n\r\n"));
        QTRY_COMPARE(first.events().size(), 3);
        QList<Event> expected = first.events();
        QCOMPARE(expected.last(), liveEvent(state));

        // A burst of changes goes out once, as its last state.
        QList<QStringList> sentRows = state.current().protocol;
        quint64 sentRevision = state.current().protocolRevision;
        const auto burst = [&](std::initializer_list<std::function<void()>> changes) {
            for (const auto &change : changes) {
                change();
                m_server->publish(state.snapshot());
            }
            if (state.current().protocolRevision != sentRevision) {
                expected << Event{"rows", WebFormats::rowsMessage(
                                              sentRows, sentRevision, state.current().protocol,
                                              state.current().protocolRevision)};
                sentRows = state.current().protocol;
                sentRevision = state.current().protocolRevision;
            }
            expected << liveEvent(state);
        };
        burst({[&] { state.changeRun([&](LiveRun &run) { run.start(tickNow()); }); }});
        QTRY_COMPARE(first.events(), expected);
        m_ticks.advance(61'200);
        burst({[&] { state.changeRun([&](LiveRun &run) { run.stop(tickNow()); }); },
               [&] {
                   state.setProtocol({{"St.Nr", "Rang"}, {"12", "1"}, {"3", "2"}});
               },
               [&] { state.changeRun([](LiveRun &run) { run.enter(); }); }});
        QTRY_COMPARE(first.events(), expected);
        burst({[&] { state.changeRun([](LiveRun &run) { run.next(); }); }});
        QTRY_COMPARE(first.events(), expected);

        Client later(port);
        QVERIFY(later.send("GET /api/events HTTP/1.0\r\n\r\n"));
        QTRY_COMPARE(later.events().size(), 3);
        QCOMPARE(later.events(),
                 (QList<Event>{{"texts", R"({"page":"Live"})"},
                               {"rows", WebFormats::rowsMessage({}, 0, state.current().protocol,
                                                                state.current().protocolRevision)},
                               liveEvent(state)}));
        QVERIFY(later.received.contains("\r\n\r\nretry: 1000\n\n"));
        QCOMPARE(m_server->streamCount(), 2);
        m_ms += 15'000;
        m_server->sweep();
        QTRY_VERIFY((later.read(), later.received.endsWith("\n: \n")));
    }

    // A phone that stops reading is dropped once its unsent output passes the limit, instead
    // of the server keeping everything for it.
    void stalledStreamDropped()
    {
        const quint16 port = startServer();
        Client stalled(port);
        stalled.socket.setReadBufferSize(1024);
        QVERIFY(stalled.send("GET /api/events HTTP/1.1\r\n\r\n"));
        QTRY_COMPARE(m_server->streamCount(), 1);
        for (char c = 'a'; c < 'f' && m_server->streamCount() > 0; ++c)
            m_server->setTexts("\"" + QByteArray(5 << 20, c) + '"');
        QCOMPARE(m_server->streamCount(), 0);
        QCOMPARE(m_server->connectionCount(), 0);
    }

    // On its own thread, as the program runs it.
    void liveWebOnItsThread()
    {
        LiveState state;
        LiveWeb web(state);
        QSignalSpy started(&web, &LiveWeb::started);
        web.start(QStringLiteral("127.0.0.1"), 0);
        QVERIFY(started.wait());
        const QString address = started.first().first().toString();
        const quint16 port = quint16(address.section(QLatin1Char(':'), 2).chopped(1).toUInt());
        QVERIFY(port > 0);
        QCOMPARE(address, LiveWeb::pageAddress(QStringLiteral("127.0.0.1"), port));
        QCOMPARE(web.address(), address);

        Client stream(port);
        QVERIFY(stream.send("GET /api/events HTTP/1.1\r\n\r\n"));
        QTRY_COMPARE(stream.events().size(), 3);
        state.setTitles(QStringLiteral("Springen"), QStringLiteral("Kl. A"));
        QTRY_COMPARE(stream.events().size(), 4);
        QCOMPARE(stream.events().last(), liveEvent(state));

        // A port in use is reported; the GUI thread goes on meanwhile.
        LiveWeb second(state);
        QSignalSpy failed(&second, &LiveWeb::failed);
        second.start(QStringLiteral("127.0.0.1"), port);
        QVERIFY(failed.wait());
        QCOMPARE(failed.first().first().value<quint16>(), port);
        QVERIFY(!failed.first().last().toString().isEmpty());
        QVERIFY(!second.listening());

        QSignalSpy stopped(&web, &LiveWeb::stopped);
        web.stop();
        QCOMPARE(stopped.size(), 1);
        QVERIFY(!web.listening());
        QTRY_VERIFY(stream.closed());
    }

    void pageAddress_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("address");
        QTest::newRow("IPv4") << "192.168.1.20"
                              << "http://192.168.1.20:8080/";
        QTest::newRow("IPv6") << "fe80::1"
                              << "http://[fe80::1]:8080/";
        QTest::newRow("all networks") << ""
                                      << "";
        QTest::newRow("any IPv4") << "0.0.0.0"
                                  << "";
    }
    void pageAddress()
    {
        QFETCH(QString, host);
        QFETCH(QString, address);
        const QString shown = LiveWeb::pageAddress(host, 8080);
        if (!address.isEmpty()) {
            QCOMPARE(shown, address);
        } else {
            // A machine's own address a phone can reach, never the wildcard.
            QVERIFY2(QHostAddress(shown.mid(7).chopped(6)).protocol() ==
                             QAbstractSocket::IPv4Protocol &&
                         !shown.contains(QLatin1String("0.0.0.0")),
                     qPrintable(shown));
        }
    }
};

QTEST_GUILESS_MAIN(tst_LiveServer)
#include "tst_liveserver.moc"
