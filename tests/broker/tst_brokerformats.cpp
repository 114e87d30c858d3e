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
// The arenas as "/show" lists them: name, online, live and results.
QStringList shown(const ShowFeed &feed)
{
    QStringList out;
    for (const ShowArena &a : feed.picture()->arenas)
        out << QStringList{a.name, a.online ? "on" : "off", a.live, a.results}.join('|');
    return out;
}
BrokerOutbox::Entry entry(quint64 n)
{
    return {QString("id%1").arg(n), n, "rittmeter/T/P/entries", QString("\"Ü%1\"").arg(n).toUtf8()};
}
} // namespace

class tst_BrokerFormats : public QObject
{
    Q_OBJECT
private slots:
    void topics_data()
    {
        QTest::addColumn<QString>("show");  // also the arena's name
        QTest::addColumn<QString>("topic"); // empty: the one this PC publishes its live on
        QTest::addColumn<QString>("parsed");
        const auto row = [](const char *name, const QString &show, const QString &topic,
                            const QString &parsed) {
            QTest::newRow(name) << show << topic << parsed;
        };
        const QString x63(63, 'x'), own;
        row("umlauts, spaces", " Platz Süd 2 ", own, "Platz Süd 2|live");
        row("separators, wildcards, $", "$a/b+c#d$", own, "_a_b_c_d$|live");
        row("controls, non-characters", QString("A\x01\x7f\u0085\uFFFF") + QChar(0xD800), own,
            "A_____|live");
        row("empty", " \t", "rittmeter/turnier/platz/live", "platz|live");
        row("a pair is one", x63 + "\U0001F40E!", own, x63 + "\U0001F40E|live");
        row("a mark stays with its letter", x63 + "u\u0308", own, x63 + "|live");
        row("other show", "A", "rittmeter/B/A/live", "none");
        row("extra level", "A", "rittmeter/A/P/1/live", "none");
        row("not made by the rule", "A", "rittmeter/A/$P/live", "none");
    }

    void topics()
    {
        QFETCH(QString, show);
        QFETCH(QString, topic);
        QFETCH(QString, parsed);
        const auto p = BrokerTopics::parse(
            topic.isEmpty() ? BrokerTopics::topic(show, show, BrokerTopics::Live) : topic.toUtf8(),
            show);
        QCOMPARE(p ? p->arena + '|' + p->leaf : "none", parsed);
    }

    void payloads()
    {
        LiveSnapshot s;
        s.competition.title1 = "Springen";
        s.protocol = {{}, QString("3|K|Pferd|Reiter|RV|61,20||0|4|4,00|61,20|2").split('|')};
        s.result = {s.protocol[1], "2", "Punkte:4,00   Platz:2"};
        QJsonObject e = QJsonDocument::fromJson(
                            BrokerMessages::entry(s, "u-1", 7, "", "Süd/1",
                                                  QDateTime::fromMSecsSinceEpoch(1234, Qt::UTC)))
                            .object();
        QCOMPARE(e.take("row").toObject(), WebFormats::rowObject(s.protocol[1]));
        QCOMPARE(e, QJsonDocument::fromJson(R"({"id": "u-1", "sequence": 7, "show": "turnier",
            "arena": "Süd_1", "enteredAt": "1970-01-01T00:00:01.234Z", "title1": "Springen",
            "title2": "", "rank": "2", "text": "Punkte:4,00   Platz:2"})")
                        .object());
        QJsonObject live =
            QJsonDocument::fromJson(BrokerMessages::live(s, 5, 1700000000123)).object();
        QCOMPARE(live.take("sentAt").toInteger(), 1700000000123);
        QCOMPARE(live, QJsonDocument::fromJson(WebFormats::liveJson(s, 5)).object());
    }

    void outboxAcrossRestarts()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("broker-ausgang.json");
        BrokerOutbox first(path), again(path), emptied(path), damaged(path), fresh(path);
        QVERIFY(first.add(entry(1)) && first.add(entry(2)) && first.add(entry(3)));
        QVERIFY(first.remove("id2") && again.load());
        QCOMPARE(again.entries(), (std::deque{entry(1), entry(3)}));
        QVERIFY(again.remove("id1") && again.remove("id3") && emptied.load());
        QCOMPARE(emptied.nextSequence(), 4u); // goes on after the last is sent
        // Damaged: kept aside, not written over even by an entry added before any load.
        QFile file(path);
        const QByteArray broken = "{\"next\": 3, \"entries\": [{}]}";
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(broken) == broken.size());
        file.close();
        QString error;
        QVERIFY(!damaged.add(entry(5), &error) && error.contains(".defekt"));
        QVERIFY(QFile(path + ".defekt").size() == broken.size() && fresh.load());
        QCOMPARE(fresh.entries(), std::deque{entry(5)});
        BrokerOutbox unwritable(dir.filePath("missing/broker-ausgang.json"));
        QVERIFY(!unwritable.add(entry(1), &error) && unwritable.size() == 1);
    }

    void showFeedRefuses_data()
    {
        QTest::addColumn<QString>("topic"); // under rittmeter/T/
        QTest::addColumn<QString>("payload");
        QTest::addColumn<Drop>("drop");
        const auto row = [](const char *name, const QString &topic, const QString &payload,
                            Drop drop) { QTest::newRow(name) << topic << payload << drop; };
        row("not JSON", "A/live", "{", Drop::NotJson);
        row("live not an object", "A/live", "[]", Drop::NotJson);
        row("results not an array", "A/results", "{}", Drop::NotJson);
        row("status unknown", "A/status", "\"online\"", Drop::NotJson);
        row("too large, even if not shown", "A/entries",
            QString(ShowFeed::MaxMessageBytes + 1, ' '), Drop::TooLarge);
        row("an arena too many", "Z/live", "{}", Drop::BadTopic);
        row("entries: not shown", "A/entries", "x", Drop::None);
    }

    void showFeedRefuses()
    {
        QFETCH(QString, topic);
        QFETCH(QString, payload);
        QFETCH(Drop, drop);
        ShowFeed feed("T");
        QCOMPARE(feed.take("rittmeter/T/A/live", "{}", 5), Drop::None);
        for (int n = 1; n < ShowFeed::MaxArenas; ++n)
            feed.take(QString("rittmeter/T/B%1/status").arg(n).toUtf8(), "offline", 6);
        const QStringList before = shown(feed);
        QCOMPARE(feed.take(("rittmeter/T/" + topic).toUtf8(), payload.toUtf8(), 7), drop);
        QCOMPARE(shown(feed), before);
    }

    void showFeedFollowsArenas()
    {
        ShowFeed feed("T");
        const auto take = [&](const char *topic, const char *payload) {
            QCOMPARE(feed.take("rittmeter/T/" + QByteArray(topic), payload, 2), Drop::None);
        };
        take("Süd/results", "[]"), take("Nord/live", "{}"), take("Nord/status", "offline");
        take("Süd/status", "online");
        QCOMPARE(shown(feed), (QStringList{"Nord|off|{}|", "Süd|on||[]"}));
        take("Nord/live", ""), take("Süd/results", ""), take("Süd/status", "");
        QCOMPARE(shown(feed), QStringList{"Nord|off||"}); // offline, still listed
    }
};

QTEST_GUILESS_MAIN(tst_BrokerFormats)
#include "tst_brokerformats.moc"
