// Measures the live results server under a full house: 500 phones keep the event stream open
// (in a child process, so the server's memory is measured alone) while a competition enters a
// run every 100 ms on a 2,000-row protocol in the real main window. Reports the time from a
// change to the last phone, results.json served per second to a few kept-alive clients, the
// clock refresh and the photocell hand-off meanwhile, and the memory per connected phone.
// Usage: bench_live [entries] [phones]   (default 100 and 500; run with QT_QPA_PLATFORM=offscreen)
// The child modes: bench_live --clients N PORT, bench_live --fetch N PORT MS

#include "BenchApplication.h"
#include "BenchPhotocells.h"
#include "BenchProtocol.h"

#include "ClockDisplay.h"
#include "LiveState.h"
#include "LiveWeb.h"
#include "MessageBoxes.h"
#include "Photocells.h"
#include "ResultsProtocol.h"
#include "RunControl.h"
#include "SessionKeeper.h"
#include "TBitBtnWithColor.h"
#include "TComPort.h"
#include "TFormMain.h"
#include "TSortGrid.h"
#include "WebFormats.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cctype>
#include <cstdio>
#include <malloc.h>
#include <map>
#include <unistd.h>
#include <sched.h>

namespace {
constexpr double kLastClientP50Ms = 50.0;
constexpr double kLastClientP99Ms = 200.0;
constexpr double kResultsPerSecond = 500.0;
constexpr double kRefreshLongestMs = 1.0;
constexpr double kHandOffP99Ms = 0.3;
constexpr double kPerClientKb = 64.0;

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// Freed memory the allocator still holds is handed back first: what counts is what the
// connections keep.
double residentKb()
{
    malloc_trim(0);
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / 1024.0;
}

// The phones: each keeps /api/events open and notes when each revision of the rows reached it.
// "ready" once all have the whole list; on a line from the parent, prints for every revision
// the moment the last phone had it, and ends.
int runClients(int count, quint16 port)
{
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    std::vector<QByteArray> pending(static_cast<size_t>(count));
    std::vector<std::map<qint64, qint64>> arrivals(static_cast<size_t>(count)); // revision -> ns
    int ready = 0;
    int reconnects = 0;
    for (int i = 0; i < count; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        QTcpSocket *s = socket.get();
        QObject::connect(s, &QTcpSocket::connected, s,
                         [s] { s->write("GET /api/events HTTP/1.1\r\nHost: x\r\n\r\n"); });
        QObject::connect(s, &QTcpSocket::readyRead, s, [&, s, i] {
            const qint64 now = steadyNs();
            QByteArray &buffer = pending[size_t(i)];
            buffer += s->readAll();
            for (qsizetype at; (at = buffer.indexOf("\"rev\":")) >= 0;) {
                qsizetype end = at + 6;
                while (end < buffer.size() && std::isdigit(uchar(buffer[end])))
                    ++end;
                if (end == buffer.size())
                    break; // the number goes on in the next piece
                const qint64 revision = buffer.mid(at + 6, end - at - 6).toLongLong();
                if (arrivals[size_t(i)].empty())
                    ++ready;
                arrivals[size_t(i)].emplace(revision, now);
                buffer.remove(0, at + 6);
            }
            if (buffer.indexOf("\"rev\":") < 0 && buffer.size() > 64)
                buffer = buffer.right(64);
            if (ready == count) {
                ready = -1;
                std::printf("ready\n");
                std::fflush(stdout);
            }
        });
        // A phone that was dropped comes back after a second, as a browser does.
        QObject::connect(s, &QTcpSocket::disconnected, s, [&, s, i, port] {
            ++reconnects;
            pending[size_t(i)].clear();
            QTimer::singleShot(1000, s,
                               [s, port] { s->connectToHost(QHostAddress::LocalHost, port); });
        });
        s->connectToHost(QHostAddress::LocalHost, port);
        sockets.push_back(std::move(socket));
    }
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        std::map<qint64, qint64> last; // revision -> the last phone's first arrival of it or later
        std::map<qint64, bool> all;
        for (const auto &client : arrivals)
            for (const auto &entry : client)
                all[entry.first] = true;
        for (const auto &entry : all) {
            qint64 latest = 0;
            bool everyone = true;
            for (const auto &client : arrivals) {
                auto it = client.lower_bound(entry.first);
                if (it == client.end()) {
                    everyone = false;
                    break;
                }
                latest = std::max(latest, it->second);
            }
            if (everyone)
                std::printf("%lld %lld\n", qlonglong(entry.first), qlonglong(latest));
        }
        int connected = 0;
        for (const auto &socket : sockets)
            connected += socket->state() == QAbstractSocket::ConnectedState;
        std::printf("connected %d %d\nend\n", connected, reconnects);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QCoreApplication::exec();
}

// A few kept-alive clients asking for results.json again and again for ms milliseconds.
int runFetch(int count, quint16 port, int ms)
{
    const QByteArray request = "GET /api/results.json HTTP/1.1\r\nHost: x\r\n\r\n";
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    qint64 served = 0;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        QTcpSocket *s = socket.get();
        auto expected = std::make_shared<qint64>(-1);
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(s, &QTcpSocket::connected, s, [s, request] { s->write(request); });
        QObject::connect(s, &QTcpSocket::readyRead, s, [=, &served] {
            *buffer += s->readAll();
            while (true) {
                if (*expected < 0) {
                    const qsizetype end = buffer->indexOf("\r\n\r\n");
                    if (end < 0)
                        return;
                    const qsizetype at = buffer->indexOf("Content-Length: ");
                    *expected = buffer->mid(at + 16, 12).split('\r').first().toLongLong();
                    buffer->remove(0, end + 4);
                }
                if (buffer->size() < *expected)
                    return;
                buffer->remove(0, *expected);
                *expected = -1;
                ++served;
                if (clock.elapsed() < ms)
                    s->write(request);
                else
                    s->disconnectFromHost();
            }
        });
        s->connectToHost(QHostAddress::LocalHost, port);
        sockets.push_back(std::move(socket));
    }
    QTimer::singleShot(ms + 2000, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    std::printf("%lld %lld\n", qlonglong(served), qlonglong(clock.elapsed()));
    return 0;
}

const char *verdict(bool met)
{
    return met ? "" : "   OVER TARGET";
}

// The photocell's changes handled by the window while the streams are open: each start and
// stop goes out to every phone.
double photocellHandOffP99(TFormMain &window, int total)
{
    std::vector<Change> changes;
    changes.reserve(size_t(total));
    setSerialBackendFactory([&] { return std::make_unique<TogglingBackend>(changes, total); });
    TFormMainUi &ui = window.ui;
    ui.TimerGesperrt->setInterval(0);
    ui.LockSTART1->trigger();
    QEventLoop loop;
    std::vector<double> delaysMs;
    ui.ComPort1->OnDSR = [&](TComPort *sender) {
        const Clock::time_point now = Clock::now();
        delaysMs.push_back(
            std::chrono::duration<double, std::milli>(now - changes.at(delaysMs.size()).at)
                .count());
        const bool wasRunning = ui.bSTOP->isEnabled();
        const bool couldStart = ui.bSTART->isEnabled();
        window.photocells().ComPortDSR(sender);
        if (couldStart && ui.bSTOP->isEnabled()) {
            ui.LockSTOP1->trigger();
        } else if (wasRunning && !ui.bSTOP->isEnabled()) {
            window.protocol().bRESETClick();
            ui.LockSTART1->trigger();
        }
        if (int(delaysMs.size()) == total)
            loop.quit();
    };
    ui.ComPort1->setPort(1);
    ui.ComPort1->Open();
    loop.exec();
    ui.ComPort1->Close();
    ui.ComPort1->OnDSR = nullptr;
    setSerialBackendFactory(nullptr);
    return percentile(delaysMs, 0.99);
}

// Runs entered every 100 ms through the real commands; between entries the next rider's clock
// runs and is refreshed every 10 ms by a timer, as in the program. Notes when each entry's protocol
// revision was made.
void enterRuns(TFormMain &window, int entries, std::map<qint64, qint64> &changedAt,
               double &longestRefreshMs)
{
    QElapsedTimer t;
    for (int entry = 0; entry < entries; ++entry) {
        QElapsedTimer slot;
        slot.start();
        static int riders = 0;
        window.ui.cbStNr->setEditText(QStringLiteral("L%1").arg(++riders));
        window.run().mStartClick();
        window.run().mStopClick();
        QCoreApplication::processEvents();
        const qint64 at = steadyNs();
        window.protocol().mEintragenClick();
        changedAt.emplace(qint64(window.live().current().protocolRevision), at);
        window.protocol().bRESETClick();
        window.run().mStartClick();
        // The rest of the 100 ms the GUI thread waits for events, as in the program; the clock
        // is refreshed by a timer every 10 ms.
        QEventLoop wait;
        QTimer refresh;
        refresh.setTimerType(Qt::PreciseTimer);
        QObject::connect(&refresh, &QTimer::timeout, [&] {
            t.restart();
            window.clock().ClockTimer();
            longestRefreshMs = std::max(longestRefreshMs, t.nsecsElapsed() / 1e6);
        });
        refresh.start(10);
        QTimer::singleShot(std::max<qint64>(0, 100 - slot.elapsed()), Qt::PreciseTimer, &wait,
                           &QEventLoop::quit);
        wait.exec();
        window.run().mStopClick();
        window.protocol().bRESETClick();
    }
}
} // namespace

int main(int argc, char **argv)
{
    if (argc >= 4 && (qstrcmp(argv[1], "--clients") == 0 || qstrcmp(argv[1], "--fetch") == 0)) {
        // The phones stand for other devices: on this machine's cores they take only what the
        // program leaves, as the server thread does, instead of their own CPUs. The fetchers
        // keep their share: they measure how fast the server answers.
        const sched_param idle{};
        if (qstrcmp(argv[1], "--clients") == 0)
            sched_setscheduler(0, SCHED_IDLE, &idle);
        QCoreApplication app(argc, argv);
        const int count = atoi(argv[2]);
        const auto port = quint16(atoi(argv[3]));
        return qstrcmp(argv[1], "--clients") == 0
                   ? runClients(count, port)
                   : runFetch(count, port, argc > 4 ? atoi(argv[4]) : 2000);
    }
    BenchApplication app(argc, argv);
    const int entries = argc > 1 ? std::max(10, atoi(argv[1])) : 100;
    const int kClients = argc > 2 ? std::max(1, atoi(argv[2])) : 500;
    SilentBoxes boxes;
    setMessageBoxes(&boxes);
    QTemporaryDir sessionDir;
    setSessionFolder(sessionDir.path());
    TFormMain window;
    window.resize(1024, 700);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 2;
    window.ui.SortGrid1->setDataRows(benchProtocol(2000, false));
    QCoreApplication::processEvents();

    // What one revision of results.json costs the server's thread to make.
    std::vector<double> makeMs;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        WebFormats::resultsJson(*window.live().snapshot());
        makeMs.push_back(t.nsecsElapsed() / 1e6);
    }

    LiveWeb web(window.live());
    QSignalSpy started(&web, &LiveWeb::started);
    web.start(QStringLiteral("127.0.0.1"), 0);
    if (!started.wait(5000))
        return 3;
    const QString port = started.first().first().toString().section(QLatin1Char(':'), 2).chopped(1);

    // The hand-off with the server listening but no phones: what the machine gives anyway.
    const double quietHandOffP99 = photocellHandOffP99(window, 1000);

    // A few kept-alive clients ask for results.json while runs are entered: each entry makes
    // a new protocol, built once for all of them.
    QProcess fetchers;
    fetchers.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    fetchers.start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--fetch"), QStringLiteral("4"), port, QStringLiteral("3000")});
    std::map<qint64, qint64> changedAt; // revision -> ns
    double longestRefreshMs = 0;
    enterRuns(window, 30, changedAt, longestRefreshMs);
    fetchers.waitForFinished(30'000);
    const QList<QByteArray> fetched = fetchers.readAllStandardOutput().trimmed().split(' ');
    const double perSecond =
        fetched.size() == 2 ? fetched[0].toDouble() * 1000.0 / std::max(1.0, fetched[1].toDouble())
                            : 0.0;

    // The server's memory before and after the phones connect.
    const double before = residentKb();
    QProcess phones;
    phones.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    phones.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--clients"), QString::number(kClients), port});
    QElapsedTimer waiting;
    waiting.start();
    while (!phones.canReadLine() && waiting.elapsed() < 120'000)
        QTest::qWait(10);
    if (phones.readLine().trimmed() != "ready") {
        std::fprintf(stderr, "bench_live: the phones did not connect\n");
        return 4;
    }
    QTest::qWait(500);
    const double perClientKb = (residentKb() - before) / kClients;

    changedAt.clear();
    longestRefreshMs = 0;
    enterRuns(window, entries, changedAt, longestRefreshMs);
    const double handOffP99 = photocellHandOffP99(window, 1000);

    QTest::qWait(500);
    phones.write("report\n");
    std::map<qint64, qint64> reached; // revision -> when the last phone had it
    int stillConnected = 0;
    int reconnects = 0;
    waiting.restart();
    while (waiting.elapsed() < 30'000) {
        if (!phones.canReadLine()) {
            QTest::qWait(10);
            continue;
        }
        const QList<QByteArray> fields = phones.readLine().trimmed().split(' ');
        if (fields.first() == "end")
            break;
        if (fields.first() == "connected" && fields.size() == 3) {
            stillConnected = fields[1].toInt();
            reconnects = fields[2].toInt();
        } else if (fields.size() == 2)
            reached.emplace(fields.first().toLongLong(), fields.last().toLongLong());
    }
    phones.waitForFinished(10'000);
    // Changes close together go out as one: an entry's revision reaches the phones with the
    // first revision sent after it.
    std::vector<double> lastMs;
    for (const auto &[revision, at] : changedAt) {
        auto it = reached.lower_bound(revision);
        if (it != reached.end())
            lastMs.push_back((it->second - at) / 1e6);
    }
    web.stop();
    setMessageBoxes(nullptr);

    if (lastMs.empty()) {
        std::fprintf(stderr, "bench_live: no change reached every phone\n");
        return 5;
    }
    const double p50 = percentile(lastMs, 0.5), p99 = percentile(lastMs, 0.99);
    std::printf("%d phones on /api/events (%d connected at the end, %d reconnections), %d "
                "entries every 100 ms into 2000 rows, %zu changes timed\n",
                kClients, stillConnected, reconnects, entries, lastMs.size());
    std::printf("change to the last phone   p50 %.1f ms (target <= %.0f)%s\n", p50,
                kLastClientP50Ms, verdict(p50 <= kLastClientP50Ms));
    std::printf("                           p99 %.1f ms (target <= %.0f)%s\n", p99,
                kLastClientP99Ms, verdict(p99 <= kLastClientP99Ms));
    std::printf("results.json, 2000 rows    %.0f per second to 4 kept-alive clients, a run entered "
                "every 100 ms (target >= %.0f)%s\n",
                perSecond, kResultsPerSecond, verdict(perSecond >= kResultsPerSecond));
    std::printf("                           made in %.1f ms once per revision, %.0f KB\n",
                percentile(makeMs, 0.5),
                WebFormats::resultsJson(*window.live().snapshot()).size() / 1024.0);
    std::printf("clock refresh              longest %.3f ms (target <= %.1f)%s\n", longestRefreshMs,
                kRefreshLongestMs, verdict(longestRefreshMs <= kRefreshLongestMs));
    std::printf(
        "photocell hand-off         p99 %.3f ms (target <= %.1f)%s; %.3f ms without phones\n",
        handOffP99, kHandOffP99Ms, verdict(handOffP99 <= kHandOffP99Ms), quietHandOffP99);
    std::printf("memory per phone           %.1f KB (target <= %.0f)%s\n", perClientKb,
                kPerClientKb, verdict(perClientKb <= kPerClientKb));
    const bool met = p50 <= kLastClientP50Ms && p99 <= kLastClientP99Ms &&
                     perSecond >= kResultsPerSecond && longestRefreshMs <= kRefreshLongestMs &&
                     handOffP99 <= kHandOffP99Ms && perClientKb <= kPerClientKb;
    std::printf("%s\n", met ? "targets met" : "TARGETS MISSED");
    return met ? 0 : 1;
}
