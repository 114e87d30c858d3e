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
            mosquitto_subscribe(m_mosq, nullptr, "rittmeter/#", 1) == MOSQ_ERR_SUCCESS)
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
    // Arrival (steady ns) by sequence.
    std::map<quint64, qint64> entries()
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
        const auto sequence =
            quint64(QJsonDocument::fromJson(payload).object().value("sequence").toDouble());
        std::lock_guard lock(m_mutex);
        m_entries.emplace(sequence, now);
    }

    mosquitto *m_mosq = nullptr;
    std::atomic<bool> m_subscribed{false};
    std::atomic<qint64> m_onlineAt{0};
    std::mutex m_mutex;
    std::map<quint64, qint64> m_entries;
};

// One run through the real commands: start, stop, EINTRAGEN (noted), and the next rider
// started, so the clock runs between entries.
qint64 enterRun(TFormMain &window, std::vector<double> *ownMs = nullptr)
{
    static int riders = 0;
    window.ui.cbStNr->setEditText(QStringLiteral("B%1").arg(++riders));
    window.run().mStartClick();
    window.run().mStopClick();
    QCoreApplication::processEvents();
    const qint64 at = steadyNs();
    window.protocol().mEintragenClick();
    if (ownMs)
        ownMs->push_back((steadyNs() - at) / 1e6);
    window.protocol().bRESETClick();
    window.run().mStartClick();
    return at;
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
    window.ui.SortGrid1->setDataRows(benchProtocol(2000, false));
    QCoreApplication::processEvents();

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

    // The clock's refresh timed in its own place, as the program calls it.
    QObject::disconnect(window.ui.Clock, &QTimer::timeout, &window.clock(), nullptr);
    double longestRefreshMs = 0;
    QObject::connect(window.ui.Clock, &QTimer::timeout, &window, [&] {
        QElapsedTimer t;
        t.start();
        window.clock().ClockTimer();
        longestRefreshMs = std::max(longestRefreshMs, t.nsecsElapsed() / 1e6);
    });

    // A run entered every 100 ms; between entries the GUI thread serves events and the clock.
    std::vector<qint64> enteredAt;
    std::vector<double> ownMs; // EINTRAGEN itself, on the GUI thread
    for (int i = 0; i < entries; ++i) {
        QElapsedTimer slot;
        slot.start();
        enteredAt.push_back(enterRun(window, &ownMs));
        QEventLoop wait;
        QTimer::singleShot(std::max<qint64>(0, 100 - slot.elapsed()), Qt::PreciseTimer, &wait,
                           &QEventLoop::quit);
        wait.exec();
    }
    window.run().mStopClick();
    waitFor([&] { return int(subscriber->entries().size()) >= entries; }, 30000);
    std::vector<double> delaysMs;
    const std::map<quint64, qint64> arrived = subscriber->entries();
    for (int i = 0; i < entries; ++i) {
        auto it = arrived.find(quint64(i + 1));
        if (it != arrived.end())
            delaysMs.push_back((it->second - enteredAt[size_t(i)]) / 1e6);
    }

    // The outage: runs entered with the broker gone wait in the outbox.
    subscriber.reset();
    broker.stop();
    waitFor([&] { return link.status().state != BrokerStatus::State::Connected; }, 5000);
    for (int i = 0; i < queued; ++i)
        enterRun(window);
    window.run().mStopClick();
    const bool allWaiting = waitFor([&] { return link.status().waiting == queued; }, 10000);
    connectedAt = 0;
    const qint64 backAt = steadyNs();
    if (!broker.start())
        return 6;
    // The reader is back before the program, which tries again only every second.
    subscriber = std::make_unique<Subscriber>(broker.port());
    const bool readerFirst =
        waitFor([&] { return subscriber->subscribed(); }, 5000) && connectedAt == 0;
    const quint64 first = quint64(entries) + 1;
    const auto allArrived = [&] {
        const std::map<quint64, qint64> got = subscriber->entries();
        for (quint64 s = first; s < first + quint64(queued); ++s)
            if (!got.count(s))
                return false;
        return true;
    };
    const bool delivered = waitFor(allArrived, 30000);
    qint64 lastAt = 0;
    for (const auto &[sequence, at] : subscriber->entries())
        if (sequence >= first && sequence < first + quint64(queued))
            lastAt = std::max(lastAt, at);
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
    std::printf("%d entries every 100 ms into 2000 rows, %zu at the subscriber (load average %s)\n",
                entries, delaysMs.size(), load.constData());
    std::printf("EINTRAGEN to the entry at a subscriber   p50 %.1f ms   p99 %.1f ms (target <= "
                "%.0f)   max %.1f ms%s\n",
                p50, p99, kEntryP99Ms, *std::max_element(delaysMs.begin(), delaysMs.end()),
                verdict(p99 <= kEntryP99Ms && int(delaysMs.size()) == entries));
    std::printf("  of which EINTRAGEN itself on the GUI thread   p50 %.1f ms   p99 %.1f ms\n",
                percentile(ownMs, 0.5), percentile(ownMs, 0.99));
    std::printf("clock refresh while publishing         longest %.3f ms (target <= %.1f)%s\n",
                longestRefreshMs, kRefreshLongestMs,
                verdict(longestRefreshMs <= kRefreshLongestMs));
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
