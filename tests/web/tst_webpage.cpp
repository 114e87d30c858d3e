#include "LiveWeb.h"
#include "MainWindowFixture.h"
#include "WebPages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QStandardPaths>
#include <QWebSocket>
#include <unistd.h>

namespace {
// A headless Chromium of its own, driven over its DevTools protocol.
class Browser
{
public:
    ~Browser()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // Starts the browser and opens url in its page.
    void open(const QString &program, const QUrl &url)
    {
        QStringList args = {"--headless=new", "--remote-debugging-port=0", "--no-first-run",
                            "--user-data-dir=" + m_profile.path(), "about:blank"};
        if (geteuid() == 0)
            args << "--no-sandbox"; // it refuses to run as root otherwise
        m_process.start(program, args);
        QFile portFile(m_profile.filePath("DevToolsActivePort"));
        QTRY_VERIFY_WITH_TIMEOUT(portFile.size() > 0, 30000);
        QVERIFY(portFile.open(QIODevice::ReadOnly));
        const QByteArray port = portFile.readLine().trimmed();
        QNetworkAccessManager net;
        std::unique_ptr<QNetworkReply> list(
            net.get(QNetworkRequest(QUrl("http://127.0.0.1:" + port + "/json/list"))));
        QTRY_VERIFY_WITH_TIMEOUT(list->isFinished(), 10000);
        QString page;
        for (const QJsonValue target : QJsonDocument::fromJson(list->readAll()).array())
            if (target["type"] == "page")
                page = target["webSocketDebuggerUrl"].toString();
        QObject::connect(&m_socket, &QWebSocket::textMessageReceived, [this](const QString &text) {
            const QJsonObject reply = QJsonDocument::fromJson(text.toUtf8()).object();
            m_replies[reply["id"].toInt()] = reply["result"]["result"]["value"].toVariant();
        });
        m_socket.open(QUrl(page));
        QTRY_COMPARE_WITH_TIMEOUT(m_socket.state(), QAbstractSocket::ConnectedState, 10000);
        call("Page.navigate", {{"url", url.toString()}});
    }

    // The value of a script expression in the page; invalid when no answer comes.
    QVariant eval(const QString &expression)
    {
        return call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}});
    }

private:
    QVariant call(const QString &method, const QJsonObject &params)
    {
        const int id = ++m_lastId;
        m_socket.sendTextMessage(
            QJsonDocument(QJsonObject{{"id", id}, {"method", method}, {"params", params}})
                .toJson(QJsonDocument::Compact));
        for (QDeadlineTimer guard(10000); !m_replies.contains(id) && !guard.hasExpired();)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return m_replies.take(id);
    }

    QTemporaryDir m_profile;
    QProcess m_process;
    QWebSocket m_socket;
    QHash<int, QVariant> m_replies;
    int m_lastId = 0;
};

QString text(const char *id)
{
    return QStringLiteral("document.getElementById('%1').textContent").arg(id);
}
} // namespace

// The phone page in a real browser, served by the program while the operator times a run.
class tst_WebPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Only the fixed routes are found, each with its type; no other name reaches a resource.
    void routes()
    {
        for (const auto &[path, type] : std::initializer_list<std::pair<QString, QByteArray>>{
                 {"/", "text/html"},
                 {"/app.js", "application/javascript"},
                 {"/overlay/leaders", "text/html"},
                 {"/overlay.css", "text/css"},
                 {"/index.html", ""},
                 {"/overlay-clock.html", ""},
                 {"/web/app.js", ""},
                 {"/overlay/", ""},
                 {"/APP.JS", ""},
                 {"", ""}}) {
            const std::optional<WebPage> page = WebPages::find(path);
            QCOMPARE(page ? page->contentType : QByteArray(),
                     type.isEmpty() ? type : type + "; charset=utf-8");
            QVERIFY2(!page || page->body.size() > 100, qPrintable(path));
        }
    }

    void pageFollowsTheRun()
    {
        const QString chromium = QStandardPaths::findExecutable("chromium");
        if (chromium.isEmpty())
            QSKIP("chromium is not installed");
        MainWindowFixture f(false);
        LiveWeb web(f.window->live());
        QSignalSpy started(&web, &LiveWeb::started);
        web.start("127.0.0.1", 0);
        QTRY_COMPARE(started.size(), 1);
        Browser browser;
        browser.open(chromium, QUrl(web.address()));
        if (QTest::currentTestFailed())
            return;

        // A rider entered while the page is open; the next one goes above.
        f.ui.Reiter->setText("Tom");
        f.enter(2000);
        f.key(Qt::Key_N, Qt::ControlModifier);

        // Markup in a name stays text.
        const QString rider = R"(<b>Anna</b> & "Jo")";
        f.ui.Reiter->setText(rider);
        QTRY_COMPARE(browser.eval(text("rider") + "+ document.querySelectorAll('b').length"),
                     rider + "0");

        // The program's clock stands (a fake one): the page counts on by itself.
        const QString clock = "parseFloat(" + text("clock") + ".replace(',', '.'))";
        f.key(Qt::Key_F5);
        f.tick(1230);
        QTRY_VERIFY(browser.eval(clock).toDouble() >= 1.23);
        const double first = browser.eval(clock).toDouble();
        QTRY_VERIFY(browser.eval(clock).toDouble() > first);

        // STOP and EINTRAGEN reach the open page, which is not loaded again.
        browser.eval("window.marker = 7");
        f.key(Qt::Key_F9);
        f.key(Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(browser.eval("[window.marker, " + text("clock") + ", " + text("lastRider") +
                                  ", " + text("lastRank") +
                                  "].concat(Array.from(document.querySelectorAll('#rows .name "
                                  ".main, #rows .rank'), c => c.textContent)).join('|')"),
                     "7|1,23|" + rider + "|1|1|" + rider + "|2|Tom");
    }
};

QTEST_MAIN(tst_WebPage)
#include "tst_webpage.moc"
