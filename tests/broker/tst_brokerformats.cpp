#include "BrokerMessages.h"
#include "BrokerOutbox.h"
#include "BrokerTopics.h"
#include "ShowFeed.h"
#include "WebFormats.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using Drop = BrokerStatus::Drop;

namespace {
// Values of an object's fields (paths like "row/rider"), joined by '|'.
QString pick(const QByteArray &json, const QString &paths)
{
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    QStringList values;
    for (const QString &path : paths.split(' ')) {
        QJsonValue v = object;
        for (const QString &key : path.split('/'))
            v = v[key];
        values << v.toVariant().toString();
    }
    return values.join('|');
}
// The arenas as "/show" would list them: name, online, live and results.
QStringList shown(const ShowFeed &feed)
{
    QStringList out;
    for (const ShowArena &a : feed.picture()->arenas)
        out << QStringList{a.name, a.online ? "on" : "off", a.live, a.results}.join('|');
    return out;
}
BrokerOutbox::Entry entry(quint64 sequence)
{
    return {QString("id%1").arg(sequence), sequence, "rittmeter/T/P/entries",
            QString("{\"n\":\"Ü%1\"}").arg(sequence).toUtf8()};
}
} // namespace

class tst_BrokerFormats : public QObject
{
    Q_OBJECT
private slots:
    void levelIsSafeAndReadBack_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("level");
        const QString x63(63, 'x');
        QTest::newRow("umlauts, spaces kept") << " Reitplatz Süd 2 "
                                              << "Reitplatz Süd 2";
        QTest::newRow("separators, wildcards") << "a/b+c#d"
                                               << "a_b_c_d";
        QTest::newRow("system topics") << "$SYS$"
                                       << "_SYS$";
        QTest::newRow("controls of both ranges, non-characters")
            << QString("A\x01\x7f") + QChar(0x85) + QChar(0xFFFF) + QChar(0xD800) << "A_____";
        QTest::newRow("empty") << "  \t"
                               << "platz";
        QTest::newRow("200 characters") << QString(200, 'x') << QString(64, 'x');
        QTest::newRow("a pair is one character") << x63 + "\U0001F40E!" << x63 + "\U0001F40E";
        QTest::newRow("a mark stays with its letter") << x63 + "u\u0308" << x63;
    }
    void levelIsSafeAndReadBack()
    {
        QFETCH(QString, name);
        QFETCH(QString, level);
        QCOMPARE(BrokerTopics::arenaLevel(name), level);
        // What this PC publishes, the show's other PCs read.
        const auto parsed = BrokerTopics::parse(BrokerTopics::topic(name, name, "live"), name);
        QCOMPARE(parsed ? parsed->arena + '|' + parsed->leaf : "none", level + "|live");
    }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("topic");
        QTest::addColumn<QString>("parsed");
        QTest::newRow("own show") << QByteArray("rittmeter/Turnier A/Platz 1/results")
                                  << "Platz 1|results";
        QTest::newRow("other show") << QByteArray("rittmeter/Turnier B/Platz 1/live") << "none";
        QTest::newRow("extra level") << QByteArray("rittmeter/Turnier A/P/1/live") << "none";
        QTest::newRow("missing level") << QByteArray("rittmeter/Turnier A/live") << "none";
        QTest::newRow("empty level") << QByteArray("rittmeter/Turnier A//live") << "none";
        QTest::newRow("wildcard") << QByteArray("rittmeter/Turnier A/+/live") << "none";
        QTest::newRow("not made by the rule")
            << QByteArray("rittmeter/Turnier A/ P/live") << "none";
        QTest::newRow("not UTF-8") << QByteArray("rittmeter/Turnier A/P\xff/live") << "none";
    }
    void parse()
    {
        QFETCH(QByteArray, topic);
        QFETCH(QString, parsed);
        const auto p = BrokerTopics::parse(topic, " Turnier A");
        QCOMPARE(p ? p->arena + '|' + p->leaf : "none", parsed);
    }

    void payloads()
    {
        LiveSnapshot s;
        s.competition.title1 = "Springen Kl. L";
        s.protocol = {QStringList(12, "H"),
                      QString("3|K|Pferd|Reiter|RV|61,20||0|4|4,00|61,20|2").split('|')};
        s.result = {s.protocol[1], "2", "Punkte:4,00   Platz:2"};
        const QByteArray e = BrokerMessages::entry(s, "u-1", 7, "", "Süd/1",
                                                   QDateTime::fromMSecsSinceEpoch(1234, Qt::UTC));
        QCOMPARE(pick(e, "id sequence show arena enteredAt title1 rank text row/rider row/points"),
                 "u-1|7|turnier|Süd_1|1970-01-01T00:00:01.234Z|Springen Kl. L|2|Punkte:4,00   "
                 "Platz:2|Reiter|4,00");

        QJsonObject live =
            QJsonDocument::fromJson(BrokerMessages::live(s, 5, 1700000000123)).object();
        QCOMPARE(live.take("sentAt").toInteger(), 1700000000123);
        QCOMPARE(live, QJsonDocument::fromJson(WebFormats::liveJson(s, 5)).object());
        QVERIFY(BrokerMessages::newEntryId() != BrokerMessages::newEntryId());
    }

    void outboxAcrossRestarts()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("broker-ausgang.json");
        BrokerOutbox first(path);
        for (quint64 n = 1; n <= 3; ++n)
            QVERIFY(first.add(entry(n)));
        QVERIFY(first.remove("id2") && first.remove("unknown"));

        BrokerOutbox again(path);
        QVERIFY(again.load());
        QCOMPARE(again.entries(), (std::deque{entry(1), entry(3)}));
        QVERIFY(again.remove("id1") && again.remove("id3"));
        BrokerOutbox empty(path);
        QVERIFY(empty.load() && empty.isEmpty());
        QCOMPARE(empty.nextSequence(), 4u); // the sequence goes on after the last is sent

        BrokerOutbox unwritable(dir.filePath("missing/broker-ausgang.json"));
        QString error;
        QVERIFY(!unwritable.add(entry(1), &error) && !error.isEmpty());
        QCOMPARE(unwritable.size(), 1);
    }

    void damagedOutboxKeptAside()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("broker-ausgang.json");
        for (const QByteArray &damaged :
             {QByteArray("{\"next\": 3, \"entries\": [{\"id\": \"a\"}]"), QByteArray("[]")}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(damaged) && file.flush());
            file.close();
            // An entry added before any load must not write over the damaged file either.
            BrokerOutbox outbox(path);
            QString error;
            QVERIFY(!outbox.add(entry(5), &error) && error.contains(".defekt"));
            QCOMPARE(outbox.size(), 1);
        }
        QFile first(path + ".defekt"), second(path + ".defekt-2");
        QVERIFY(first.open(QIODevice::ReadOnly) && first.readAll().startsWith("{\"next\""));
        QVERIFY(second.open(QIODevice::ReadOnly) && second.readAll() == "[]");
        BrokerOutbox fresh(path);
        QVERIFY(fresh.load());
        QCOMPARE(fresh.entries(), std::deque{entry(5)});
    }

    void showFeedRefuses_data()
    {
        QTest::addColumn<QByteArray>("topic");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<Drop>("drop");
        const QByteArray live = "rittmeter/T/A/live";
        QTest::newRow("live not JSON") << live << QByteArray("{oops") << Drop::NotJson;
        QTest::newRow("live not an object") << live << QByteArray("[]") << Drop::NotJson;
        QTest::newRow("results not an array")
            << QByteArray("rittmeter/T/A/results") << QByteArray("{}") << Drop::NotJson;
        QTest::newRow("status unknown")
            << QByteArray("rittmeter/T/A/status") << QByteArray("\"online\"") << Drop::NotJson;
        QTest::newRow("too large")
            << QByteArray("rittmeter/T/A/entries") << QByteArray(ShowFeed::MaxMessageBytes + 1, ' ')
            << Drop::TooLarge;
        QTest::newRow("wildcard") << QByteArray("rittmeter/T/#/live") << QByteArray("{}")
                                  << Drop::BadTopic;
        QTest::newRow("new arena beyond the most")
            << QByteArray("rittmeter/T/Z/live") << QByteArray("{}") << Drop::BadTopic;
        QTest::newRow("entries not shown")
            << QByteArray("rittmeter/T/A/entries") << QByteArray("x") << Drop::None;
        QTest::newRow("later leaf not shown")
            << QByteArray("rittmeter/T/A/wind") << QByteArray("x") << Drop::None;
        QTest::newRow("removing what is not there")
            << QByteArray("rittmeter/T/Y/live") << QByteArray() << Drop::None;
    }
    void showFeedRefuses()
    {
        QFETCH(QByteArray, topic);
        QFETCH(QByteArray, payload);
        QFETCH(Drop, drop);
        ShowFeed feed("T");
        QCOMPARE(feed.take("rittmeter/T/A/live", "{\"a\":1}", 5), Drop::None);
        QCOMPARE(feed.take("rittmeter/T/A/status", "online", 5), Drop::None);
        for (int n = 1; n < ShowFeed::MaxArenas; ++n)
            QCOMPARE(feed.take(QString("rittmeter/T/B%1/status").arg(n).toUtf8(), "offline", 6),
                     Drop::None);
        const QStringList before = shown(feed);
        QCOMPARE(feed.take(topic, payload, 7), drop);
        QCOMPARE(shown(feed), before);
    }

    void showFeedFollowsArenas()
    {
        ShowFeed feed("T");
        feed.take("rittmeter/T/Süd/results", "[]", 1);
        feed.take("rittmeter/T/Nord/live", "{}", 2);
        feed.take("rittmeter/T/Nord/status", "offline", 3);
        feed.take("rittmeter/T/Süd/status", "online", 4);
        QCOMPARE(shown(feed), (QStringList{"Nord|off|{}|", "Süd|on||[]"}));
        QCOMPARE(feed.picture()->arenas[0].liveReceivedMs, 2);
        feed.take("rittmeter/T/Nord/live", "", 5); // offline, still listed
        feed.take("rittmeter/T/Süd/results", "", 6);
        feed.take("rittmeter/T/Süd/status", "", 7);
        QCOMPARE(shown(feed), QStringList{"Nord|off||"});
    }
};

QTEST_GUILESS_MAIN(tst_BrokerFormats)
#include "tst_brokerformats.moc"
