// Measures publishing to a broker from the running program: a local mosquitto, the real main window
// on a 2,000-row protocol, and a subscriber of the show on a thread of its own. Reports the time
// from EINTRAGEN to the entry at the subscriber, the clock refresh's longest while the program
// publishes, and, after an outage with runs entered meanwhile, the time from the broker's return
// (and from the program's reconnection) until every queued entry is at the subscriber.
// Usage: bench_broker [entries] [queued]   (default 1000 and 100; needs mosquitto installed)

#include "BenchApplication.h"
#include "BenchPhotocells.h"
#include "BenchProtocol.h"
#include "LocalBroker.h"

#include "BrokerClient.h"
#include "BrokerLink.h"
#include "ClockDisplay.h"
#include "LiveBroker.h"
#include "ResultsProtocol.h"
#include "RunControl.h"
#include "SessionKeeper.h"
#include "TFormMain.h"
#include "TSortGrid.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>

#include <mosquitto.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>

namespace {
constexpr double kEntryP99Ms = 50.0;
constexpr double kRefreshLongestMs = 1.0;
constexpr double kQueuedMs = 2000.0;

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

const char *verdict(bool met)
{
    return met ? "" : "   OVER TARGET";
}

// A reader of the show, as the show office or a website would be: notes when each entry (by its
// sequence) arrived, on the library's own network thread, so the GUI thread's business does not
// delay the note.
class Subscriber
{
public:
    explicit Subscriber(quint16 port)
    {
        m_mosq = mosquitto_new(nullptr, true, this);
        mosquitto_message_callback_set(m_mosq,
                                       [](mosquitto *, void *self, const mosquitto_message *m) {
                                           static_cast<Subscriber *>(self)->take(m);
                                       });
        mosquitto_subscribe_callback_set(m_mosq,
                                         [](mosquitto *, void *self, int, int, const int *) {
                                             static_cast<Subscriber *>(self)->m_subscribed = true;
                                         });
        if (mosquitto_connect(m_mosq, "127.0.0.1", port, 30) == MOSQ_ERR_SUCCESS &&
            mosquitto_subscribe(m_mosq, nullptr, "rittmeter/+/+/entries", 1) == MOSQ_ERR_SUCCESS &&
            mosquitto_subscribe(m_mosq, nullptr, "rittmeter/+/+/status", 1) == MOSQ_ERR_SUCCESS)
            mosquitto_loop_start(m_mosq);
    }
    ~Subscriber()
    {
        mosquitto_disconnect(m_mosq);
        mosquitto_loop_stop(m_mosq, false);
        mosquitto_destroy(m_mosq);
    }
    bool subscribed() const { return m_subscribed; }
    // When the program's "online" came (steady ns), 0: not yet.
    qint64 onlineAt() const { return m_onlineAt; }
    // Arrival (steady ns) of each entered run by its start number; aborted runs are counted.
    std::map<QString, qint64> entries()
    {
        std::lock_guard lock(m_mutex);
        return m_entries;
    }

private:
    void take(const mosquitto_message *m)
    {
        const qint64 now = steadyNs();
        const QByteArray topic(m->topic);
        const QByteArray payload(static_cast<const char *>(m->payload), m->payloadlen);
        if (topic.endsWith("/status") && payload == "online" && !m_onlineAt)
            m_onlineAt = now;
        if (!topic.endsWith("/entries"))
            return;
        const QJsonObject row = QJsonDocument::fromJson(payload).object().value("row").toObject();
        std::lock_guard lock(m_mutex);
        if (!row.value("abort").toString().isEmpty())
            ++m_aborted;
        else
            m_entries.emplace(row.value("startNumber").toString(), now);
    }

    mosquitto *m_mosq = nullptr;
    std::atomic<bool> m_subscribed{false};
    std::atomic<qint64> m_onlineAt{0};
    std::mutex m_mutex;
    std::map<QString, qint64> m_entries;
    int m_aborted = 0;

public:
    int aborted()
    {
        std::lock_guard lock(m_mutex);
        return m_aborted;
    }
};

// One run through the real commands: the rider started, the clock running for runMs while the
// GUI thread serves events, stopped, and EINTRAGEN (its moment noted). Gives the start number.
QString enterRun(TFormMain &window, int runMs, qint64 &at, std::vector<double> *ownMs = nullptr)
{
    static int riders = 0;
    const QString number = QStringLiteral("B%1").arg(++riders);
    window.ui.cbStNr->setEditText(number);
    window.run().mStartClick();
    QEventLoop wait;
    QTimer::singleShot(runMs, Qt::PreciseTimer, &wait, &QEventLoop::quit);
    wait.exec();
    window.run().mStopClick();
    QCoreApplication::processEvents();
    at = steadyNs();
    window.protocol().mEintragenClick();
    if (ownMs)
        ownMs->push_back((steadyNs() - at) / 1e6);
    window.protocol().bRESETClick();
    return number;
}

// Waits, serving events, until done() or ms passed.
template <typename Done> bool waitFor(Done done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(5);
    return done();
}
} // namespace

int main(int argc, char **argv)
{
    BenchApplication app(argc, argv);
    const int entries = argc > 1 ? std::max(10, atoi(argv[1])) : 1000;
    const int queued = argc > 2 ? std::max(1, atoi(argv[2])) : 100;
    SilentBoxes boxes;
    setMessageBoxes(&boxes);
    QTemporaryDir sessionDir;
    setSessionFolder(sessionDir.path());

    LocalBroker broker;
    if (!broker.start()) {
        std::fprintf(stderr, "bench_broker: no broker: %s\n", qPrintable(broker.error()));
        return 2;
    }
    TFormMain window;
    window.resize(1024, 700);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 3;
    window.clock().startReveal();
    while (window.clock().revealing())
        window.clock().revealStep();
    window.ui.TimerGesperrt->setInterval(0); // a stop right after the start must act
    window.ui.SortGrid1->setDataRows(benchProtocol(2000, false));
    QCoreApplication::processEvents();

    // The clock's refresh timed in its own place, as the program calls it.
    QObject::disconnect(window.ui.Clock, &QTimer::timeout, &window.clock(), nullptr);
    double longestRefreshMs = 0;
    int refreshes = 0, slowRefreshes = 0;
    QObject::connect(window.ui.Clock, &QTimer::timeout, &window, [&] {
        QElapsedTimer t;
        t.start();
        window.clock().ClockTimer();
        const double ms = t.nsecsElapsed() / 1e6;
        longestRefreshMs = std::max(longestRefreshMs, ms);
        ++refreshes;
        slowRefreshes += ms > kRefreshLongestMs;
    });

    // For comparison: as many runs without a broker, so the longest of each is a fair match.
    std::vector<double> quietOwnMs;
    for (int i = 0; i < entries; ++i) {
        qint64 at = 0;
        enterRun(window, 100, at, &quietOwnMs);
    }
    const double quietLongestMs = longestRefreshMs;
    const int quietSlow = slowRefreshes, quietRefreshes = refreshes;
    longestRefreshMs = 0;
    refreshes = slowRefreshes = 0;

    // The moment the client is connected, noted on its own thread as it happens.
    BrokerLink &link = window.liveBroker().link();
    std::atomic<qint64> connectedAt{0};
    QObject::connect(
        link.client(), &BrokerClient::statusChanged, link.client(),
        [&](const BrokerStatus &s) {
            if (s.state == BrokerStatus::State::Connected)
                connectedAt = steadyNs();
        },
        Qt::DirectConnection);
    BrokerConfig config;
    config.host = QStringLiteral("127.0.0.1");
    config.port = broker.port();
    config.show = QStringLiteral("Bench");
    config.arena = QStringLiteral("Platz 1");
    config.outboxPath = sessionDir.filePath(QStringLiteral("broker-ausgang.json"));
    auto subscriber = std::make_unique<Subscriber>(broker.port());
    if (!waitFor([&] { return subscriber->subscribed(); }, 5000))
        return 4;
    link.start(config);
    if (!waitFor([&] { return connectedAt != 0; }, 5000)) {
        std::fprintf(stderr, "bench_broker: the program did not connect\n");
        return 5;
    }

    // A run entered every 100 ms or so; between entries the clock runs and is refreshed.
    std::map<QString, qint64> enteredAt; // by start number
    std::vector<double> ownMs;           // EINTRAGEN itself, on the GUI thread
    for (int i = 0; i < entries; ++i) {
        qint64 at = 0;
        const QString number = enterRun(window, 100, at, &ownMs);
        enteredAt.emplace(number, at);
    }
    waitFor([&] { return int(subscriber->entries().size()) >= entries; }, 30000);
    std::vector<double> delaysMs;
    const std::map<QString, qint64> arrived = subscriber->entries();
    for (const auto &[number, at] : enteredAt) {
        auto it = arrived.find(number);
        if (it != arrived.end())
            delaysMs.push_back((it->second - at) / 1e6);
    }
    const int strays = int(arrived.size()) - int(delaysMs.size()) + subscriber->aborted();

    // The outage: runs entered with the broker gone wait in the outbox.
    subscriber.reset();
    broker.stop();
    waitFor([&] { return link.status().state != BrokerStatus::State::Connected; }, 5000);
    QStringList waiting;
    for (int i = 0; i < queued; ++i) {
        qint64 at = 0;
        waiting << enterRun(window, 10, at);
    }
    const bool allWaiting = waitFor([&] { return link.status().waiting == queued; }, 10000);
    connectedAt = 0;
    const qint64 backAt = steadyNs();
    if (!broker.start())
        return 6;
    // The reader is back before the program, which tries again only every second.
    subscriber = std::make_unique<Subscriber>(broker.port());
    const bool readerFirst =
        waitFor([&] { return subscriber->subscribed(); }, 5000) && connectedAt == 0;
    qint64 lastAt = 0;
    const auto allArrived = [&] {
        const std::map<QString, qint64> got = subscriber->entries();
        lastAt = 0;
        for (const QString &number : waiting) {
            auto it = got.find(number);
            if (it == got.end())
                return false;
            lastAt = std::max(lastAt, it->second);
        }
        return true;
    };
    const bool delivered = waitFor(allArrived, 30000);
    const double fromStartMs = (lastAt - backAt) / 1e6;
    // The client says it is connected once it has sent what waited: the broker's first word from
    // it, "online", marks the reconnection when it came earlier.
    const qint64 online = subscriber->onlineAt(), connected = connectedAt;
    const qint64 reconnectedAt = online ? std::min(online, connected) : connected;
    const double fromReconnectMs = (lastAt - reconnectedAt) / 1e6;
    window.liveBroker().link().stop();
    setMessageBoxes(nullptr);

    if (delaysMs.empty()) {
        std::fprintf(stderr, "bench_broker: no entry reached the subscriber\n");
        return 7;
    }
    const double p50 = percentile(delaysMs, 0.5), p99 = percentile(delaysMs, 0.99);
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    const QByteArray load = loadavg.open(QIODevice::ReadOnly) ? loadavg.readAll().left(14) : "?";
    std::printf("%d runs of 100 ms entered into 2000 rows, %zu at the subscriber, %d others "
                "(load average %s)\n",
                entries, delaysMs.size(), strays, load.constData());
    std::printf("EINTRAGEN to the entry at a subscriber   p50 %.1f ms   p99 %.1f ms (target <= "
                "%.0f)   max %.1f ms%s\n",
                p50, p99, kEntryP99Ms, *std::max_element(delaysMs.begin(), delaysMs.end()),
                verdict(p99 <= kEntryP99Ms && int(delaysMs.size()) == entries));
    std::printf("  of which EINTRAGEN itself on the GUI thread   p50 %.1f ms   p99 %.1f ms\n",
                percentile(ownMs, 0.5), percentile(ownMs, 0.99));
    std::printf("clock refresh while publishing         longest %.3f ms (target <= %.1f)%s, %d of "
                "%d over 1 ms\n",
                longestRefreshMs, kRefreshLongestMs, verdict(longestRefreshMs <= kRefreshLongestMs),
                slowRefreshes, refreshes);
    std::printf("  without a broker (%d runs)              longest %.3f ms, %d of %d over 1 ms; "
                "EINTRAGEN p50 %.1f ms\n",
                entries, quietLongestMs, quietSlow, quietRefreshes,
                percentile(quietOwnMs, 0.5));
    if (!allWaiting || !readerFirst || !delivered) {
        std::printf("%d entered during the outage: %s   OVER TARGET\n", queued,
                    !allWaiting    ? "not all waited in the outbox"
                    : !readerFirst ? "the program was back before the reader (run again)"
                                   : "not all reached the subscriber");
        return 1;
    }
    std::printf("%d entered during the outage, all at the subscriber   %.0f ms from the broker's "
                "start (target <= %.0f)%s, %.0f ms from the program's reconnection\n",
                queued, fromStartMs, kQueuedMs, verdict(fromStartMs <= kQueuedMs), fromReconnectMs);
    const bool met = p99 <= kEntryP99Ms && int(delaysMs.size()) == entries &&
                     longestRefreshMs <= kRefreshLongestMs && fromStartMs <= kQueuedMs;
    std::printf("%s\n", met ? "targets met" : "TARGETS MISSED");
    return met ? 0 : 1;
}
