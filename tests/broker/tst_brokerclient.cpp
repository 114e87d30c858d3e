#include "BrokerClient.h"
#include "BrokerLink.h"
#include "LiveState.h"
#include "LocalBroker.h"
#include "WebFormats.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTest>

using State = BrokerStatus::State;

namespace {
// Names a topic must not take as they are: the levels come out safe.
const QByteArray Prefix = "rittmeter/Sommer_Turnier_24/Platz _1/";

BrokerConfig config(const LocalBroker &broker, const QString &outbox = {})
{
    BrokerConfig config;
    std::tie(config.host, config.port, config.show, config.arena, config.outboxPath) =
        std::tuple(QStringLiteral("127.0.0.1"), broker.port(), QStringLiteral("Sommer+Turnier/24"),
                   QStringLiteral("Platz #1"), outbox);
    return config;
}

// One starter's run as the timekeeper's EINTRAGEN writes it: entered and ranked.
void ride(LiveState &state, int number)
{
    const QString nr = QString::number(number);
    const LiveState::Batch batch(state);
    state.changeRun([](LiveRun &run) { run.start(1000), run.stop(61'000), run.enter(); });
    QStringList row(ProtocolColumnCount);
    row[ColStartNumber] = row[ColRank] = nr;
    state.enterResult({row, nr, QStringLiteral("Punkte:0,00   Platz:") + nr});
    state.setProtocol(QList<QStringList>{QStringList()} + state.current().protocol.mid(1) << row);
}
} // namespace

class tst_BrokerClient : public QObject
{
    Q_OBJECT

private slots:
    // Every topic's content and what a late reader finds; "offline" both ways; entries made while
    // the broker is down go out in order once it is back, across a restart of the program too
    // (the outbox file), and the results then hold every row.
    void publishesThroughOutages()
    {
        LocalBroker broker;
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        QTemporaryDir dir;
        LiveState state;
        const auto open = [&] {
            auto link = std::make_unique<BrokerLink>(state);
            link->client()->setRetryMs(100);
            link->start(config(broker, dir.filePath(QStringLiteral("broker-ausgang.json"))));
            return link;
        };
        BrokerSubscriber early(broker);
        auto link = open();
        ride(state, 1);
        QTRY_COMPARE(early.last(Prefix + "results"), WebFormats::resultsJson(*state.snapshot()));
        QTRY_VERIFY(early.last(Prefix + "live").contains(R"("phase":"entered")"));

        // A late reader finds the kept parts, never an entry. A copy still on its way (a busy
        // machine) may follow them, and says the same.
        BrokerSubscriber late(broker);
        QTRY_VERIFY(!late.payloads(Prefix + "status").isEmpty() &&
                    !late.payloads(Prefix + "live").isEmpty() &&
                    !late.payloads(Prefix + "results").isEmpty());
        QCOMPARE(late.payloads(Prefix + "status"), QList<QByteArray>{"online"});
        QVERIFY(late.payloads(Prefix + "entries").isEmpty());
        for (const QByteArray &results : late.payloads(Prefix + "results"))
            QCOMPARE(results, early.last(Prefix + "results"));
        // A connection cut without a goodbye: the broker says "offline"; the client comes back.
        broker.dropClients();
        QTRY_COMPARE(late.payloads(Prefix + "status"),
                     (QList<QByteArray>{"online", "offline", "online"}));

        broker.stop();
        ride(state, 2);
        ride(state, 3);
        QTRY_COMPARE(link->status().waiting, 2);
        QCOMPARE(link->status().state, State::Retrying);
        QVERIFY(!link->status().reason.isEmpty());
        link.reset(); // the program ends during the outage
        link = open();
        ride(state, 4);

        // The broker's thread waits until a reader listens; the timekeeper's side does not.
        QSemaphore go;
        std::atomic<bool> held{false};
        QMetaObject::invokeMethod(link->client(), [&] { held = go.tryAcquire(1, 60'000); });
        ride(state, 5);
        QVERIFY(broker.start());
        BrokerSubscriber reader(broker);
        go.release();
        QTRY_VERIFY(held);
        QTRY_COMPARE(reader.payloads(Prefix + "entries").size(), 4);
        QList<qint64> sequences;
        QSet<QString> ids;
        for (const QByteArray &entry : reader.payloads(Prefix + "entries"))
            sequences << QJsonDocument::fromJson(entry)["sequence"].toInteger(),
                ids << QJsonDocument::fromJson(entry)["id"].toString();
        QCOMPARE(sequences, (QList<qint64>{2, 3, 4, 5}));
        QCOMPARE(ids.size(), 4);
        QTRY_COMPARE(reader.last(Prefix + "results"), WebFormats::resultsJson(*state.snapshot()));
        QTRY_COMPARE(link->status().waiting, 0);
        link->stop();
        QTRY_COMPARE(reader.last(Prefix + "status"), QByteArray("offline"));
        QTRY_COMPARE(link->status().state, State::Off);
    }

    // TLS against the broker's own CA and not without it. Following the show, its own arena comes
    // back from the broker; a message of another arena too large is refused, counted and logged,
    // the connection kept.
    void tlsAndTheShow()
    {
        LocalBroker broker({}, {}, true);
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        BrokerConfig good = config(broker);
        std::tie(good.host, good.tls, good.caFile, good.showAll) =
            std::tuple(QStringLiteral("localhost"), true, broker.caFile(), true);
        BrokerConfig untrusted = good;
        untrusted.caFile.clear(); // the system's certificates: the test's CA is not among them

        LiveState state;
        BrokerLink link(state), doubted(state);
        std::shared_ptr<const ShowArenas> picture;
        connect(&link, &BrokerLink::showChanged, this, [&](auto show) { picture = show; });
        link.start(good);
        doubted.start(untrusted);
        // Loading the system's certificates takes its while on a busy machine.
        QTRY_COMPARE_WITH_TIMEOUT(doubted.status().state, State::Retrying, 30'000);
        QCOMPARE(doubted.status().reason, QStringLiteral("A TLS error occurred."));
        ride(state, 1);
        QTRY_VERIFY(picture && picture->arenas.size() == 1 && picture->arenas[0].online &&
                    picture->arenas[0].results == WebFormats::resultsJson(*state.snapshot()));

        const QByteArray huge = "rittmeter/Sommer_Turnier_24/B/live";
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(
                                               "refused a message on " + huge)));
        QVERIFY(broker.publish(huge, QByteArray(10 << 20, '{')));
        QTRY_COMPARE(link.status().dropped, 1);
        QCOMPARE(link.status().lastDrop, BrokerStatus::Drop::TooLarge);
        QCOMPARE(link.status().lastDropTopic, huge);
        QCOMPARE(link.status().state, State::Connected);
        link.stop();
        QTRY_VERIFY(!picture);
    }
};

QTEST_GUILESS_MAIN(tst_BrokerClient)
#include "tst_brokerclient.moc"
