#include "LiveResults.h"
#include "LiveWeb.h"
#include "MainWindowFixture.h"
#include "ShowArenas.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QWebSocket>

namespace {
// A headless Chromium of its own, driven over its DevTools protocol.
struct Browser
{
    void open(const QString &program, const QString &url)
    {
        // Without its sandbox, which does not run as root.
        process.start(program, {"--headless=new", "--no-sandbox", "--remote-debugging-port=0",
                                "--user-data-dir=" + profile.path(), url});
        QFile portFile(profile.filePath("DevToolsActivePort"));
        QTRY_VERIFY_WITH_TIMEOUT(portFile.size() > 0, 30000);
        QVERIFY(portFile.open(QIODevice::ReadOnly));
        QNetworkAccessManager net;
        std::unique_ptr<QNetworkReply> list(net.get(QNetworkRequest(
            QUrl("http://127.0.0.1:" + portFile.readLine().trimmed() + "/json/list"))));
        QTRY_VERIFY_WITH_TIMEOUT(list->isFinished(), 10000);
        for (const QJsonValue target : QJsonDocument::fromJson(list->readAll()).array())
            if (target["type"] == "page")
                socket.open(QUrl(target["webSocketDebuggerUrl"].toString()));
        QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QAbstractSocket::ConnectedState, 10000);
    }
    // The value of a script expression in the page, where t(id) is an element's text; invalid
    // when no answer comes. With no domain enabled, the next message is the answer.
    QVariant eval(const QString &expression)
    {
        QSignalSpy reply(&socket, &QWebSocket::textMessageReceived);
        const QString t = "var t = id => document.getElementById(id).textContent; ";
        const QJsonObject params{{"expression", t + expression}, {"returnByValue", true}};
        const QJsonObject call{{"id", 1}, {"method", "Runtime.evaluate"}, {"params", params}};
        socket.sendTextMessage(QJsonDocument(call).toJson());
        reply.wait(10000);
        const QJsonDocument answer = QJsonDocument::fromJson(reply.value(0).value(0).toByteArray());
        return answer["result"]["result"]["value"].toVariant();
    }

    QTemporaryDir profile;
    QProcess process; // killed on leaving, before its profile goes
    QWebSocket socket;
};
} // namespace

// The phone page following a run in a real browser.
class tst_WebPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageFollowsTheRun()
    {
        const QString chromium = QStandardPaths::findExecutable("chromium");
        if (chromium.isEmpty())
            QSKIP("chromium is not installed");
        MainWindowFixture f(false);
        LiveWeb web(f.window->live());
        web.start("127.0.0.1", 0);
        QTRY_VERIFY(web.listening());
        Browser browser;
        browser.open(chromium, web.address());
        if (QTest::currentTestFailed())
            return;

        // A rider entered first; the next one goes above it. Markup in a name stays text.
        f.ui.Reiter->setText("Tom");
        f.enter(2000);
        f.key(Qt::Key_N, Qt::ControlModifier);
        const QString rider = R"(<b>Anna</b> & "Jo")";
        f.ui.Reiter->setText(rider);
        QTRY_COMPARE(browser.eval("t('rider') + document.querySelectorAll('b').length"),
                     rider + "0");

        // The program's clock stands (a fake one): the page counts on by itself.
        const QString clock = "parseFloat(t('clock').replace(',', '.'))";
        f.key(Qt::Key_F5);
        f.tick(1230);
        QTRY_VERIFY(browser.eval(clock).toDouble() >= 1.23);
        const double first = browser.eval(clock).toDouble();
        QTRY_VERIFY(browser.eval(clock).toDouble() > first);

        // STOP and EINTRAGEN reach the open page, which is not loaded again.
        browser.eval("window.marker = 7");
        f.key(Qt::Key_F9);
        f.key(Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(
            browser.eval("[marker, t('clock'), t('lastRider'), t('lastRank')].concat(Array."
                         "from(document.querySelectorAll('#rows .name .main, #rows "
                         ".rank'), c => c.textContent)).join('|')"),
            "7|1,23|" + rider + "|1|1|" + rider + "|2|Tom");
        // The server stops: the open page says its connection is lost.
        web.stop();
        QTRY_VERIFY(browser.eval("!document.getElementById('offline').hidden").toBool());
    }

    // The show page: one card per arena, the running clock ticking on from the age of its last
    // message, an arena gone from the broker marked, and the last picture kept while the server
    // is away.
    void showPageFollowsTheArenas()
    {
        const QString chromium = QStandardPaths::findExecutable("chromium");
        if (chromium.isEmpty())
            QSKIP("chromium is not installed");
        LiveState state;
        LiveWeb web(state);
        web.setTexts(LiveResults::textsJson());
        const QByteArray running = R"({"starter":{"rider":"Anna"},"run":)"
                                   R"({"phase":"running","moving":true,"hundredths":1234}})";
        const ShowArenas show{
            "Turnier",
            {{"<i>A</i>", true, running, {}, showClockMs() - 60'000},
             {"B", false, {}, R"([{"rank":"1","startNumber":"3","rider":"Tom"}])", 0}}};
        web.setShow(std::make_shared<const ShowArenas>(show));
        web.start("127.0.0.1", 0);
        QTRY_VERIFY(web.listening());
        Browser browser;
        browser.open(chromium, web.address() + "show");
        if (QTest::currentTestFailed())
            return;

        const QString cards =
            "Array.from(document.querySelectorAll('.arena'), a => [a.querySelector('h2')"
            ".textContent, a.querySelector('.state').textContent, a.querySelector('.rider')"
            ".textContent, a.querySelector('.rows').textContent].join('/')).join('|')";
        QTRY_COMPARE(
            browser.eval(cards + " + document.title + document.querySelectorAll('i').length"),
            "<i>A</i>//Anna/|B/Platz nicht verbunden//13TomAlle Plätze0");
        // 12.34 s sent a minute ago: the clock counts on from 72.34.
        const QString clock = "parseFloat(document.querySelector('.clock').textContent"
                              ".replace(',', '.'))";
        QTRY_VERIFY(browser.eval(clock).toDouble() >= 72.34);
        const double first = browser.eval(clock).toDouble();
        QVERIFY2(first < 80, qPrintable(QString::number(first)));
        QTRY_VERIFY(browser.eval(clock).toDouble() > first);

        // The server gone: the page says so and keeps what it showed.
        web.stop();
        QTRY_COMPARE(browser.eval("!document.getElementById('offline').hidden + ' ' + " + cards),
                     "true <i>A</i>//Anna/|B/Platz nicht verbunden//13Tom");
    }
};

QTEST_MAIN(tst_WebPage)
#include "tst_webpage.moc"
