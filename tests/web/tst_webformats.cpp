#include "WebFormats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <QXmlStreamReader>

using Rows = QList<QStringList>;

namespace {
const QString Names = "rank startNumber headNumber rider horse club faults penaltySeconds "
                      "timeFaults points time rideTime abort";

// "nr/time/rank nr/time/rank ...", headings first.
Rows list(const QString &text)
{
    Rows rows{QString("Nr|Kopf|Pferd|Reiter|Verein|Zeit|Zf.|S|F|P|Ges.|Rang").split('|')};
    for (const QString &t : text.split(' ', Qt::SkipEmptyParts))
        rows << QString("%1|K|Pferd %1|Reiter %1|RV|%2||0|0|0,00|%2|%3")
                    .arg(t.section('/', 0, 0), t.section('/', 1, 1), t.section('/', 2))
                    .split('|');
    return text.isEmpty() ? Rows() : rows;
}
// Values at paths ("run/phase headings/3"), joined by '|'; null or missing shows as "null".
QString pick(const QJsonValue &o, const QString &paths)
{
    QStringList values;
    for (const QString &path : paths.split(' ')) {
        QJsonValue v = o;
        for (const QString &key : path.split('/'))
            v = v.isArray() ? v[key.toInt()] : v[key];
        values << (v.isNull() || v.isUndefined() ? "null" : v.toVariant().toString());
    }
    return values.join('|');
}
Rows fieldsOf(const QJsonArray &objects)
{
    Rows out;
    for (const QJsonValue &o : objects)
        out << pick(o, Names).split('|');
    return out;
}
Rows fieldsOf(const Rows &protocol)
{
    LiveSnapshot s;
    s.protocol = protocol;
    return fieldsOf(QJsonDocument::fromJson(WebFormats::resultsJson(s)).array());
}
QJsonObject object(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object();
}
// The page's script: one splice of the row objects, the count checked; then each row's rank
// from its place, the row above (a tie) or its own text.
QJsonArray splice(QJsonArray page, const QJsonObject &m)
{
    page = m["base"].toInteger() == -1 ? QJsonArray() : page;
    qsizetype at = m["at"].toInteger();
    for (qint64 n = qMin(m["remove"].toInteger(), qint64(page.size() - at)); n > 0; --n)
        page.removeAt(at);
    for (const QJsonValue &row : m["insert"].toArray())
        page.insert(at++, row);
    return page.size() == m["count"].toInteger() ? page : QJsonArray();
}
Rows shown(const QJsonArray &page)
{
    Rows rows = fieldsOf(page);
    for (qsizetype k = 0; k < rows.size(); ++k) {
        if (!page[k].toObject().contains("rank"))
            rows[k][0] = page[k]["tie"].toBool() ? rows[k - 1][0] : QString::number(k + 1);
    }
    return rows;
}
} // namespace

class tst_WebFormats : public QObject
{
    Q_OBJECT
private slots:
    void everyFormatCarriesTheRow_data()
    {
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QString>("fields"); // as JSON gives them; XML can't carry a bell
        QTest::addColumn<QByteArray>("csv"); // quoted where a spreadsheet would split
        const QString odd = "Hüpf \"Max\" <b> & Söhne \U0001F40E ]]>;a,b\tc\r\nd\ne\x07";
        QTest::newRow("markup, separators, line breaks, a lone surrogate")
            << "7\tx|12|Ro\tss|Rei;terin|" + odd + QChar(0xD800) + "|61,20||0|4|4,00|61,20|2"
            << "2|7|12|Rei;terin|Ro\tss|" + odd + QChar(0xFFFD) + "|4|0||4,00|61,20|61,20|"
            << QByteArray(
                   "2,7,12,\"Rei;terin\",\"Ro\tss\",\"Hüpf \"\"Max\"\" <b> & Söhne \U0001F40E "
                   "]]>;a,b\tc\r\nd\ne\x07\uFFFD\",4,0,,\"4,00\",\"61,20\",\"61,20\",\r\n");
        QTest::newRow("aborted") << "10||P|R|C|Ret.||0|8|Ret.|Ret.|Ret."
                                 << "Ret.|10||R|P|C|8|0|||||Ret."
                                 << QByteArray("Ret.,10,,R,P,C,8,0,,,,,Ret.\r\n");
    }
    void everyFormatCarriesTheRow()
    {
        QFETCH(QString, cells);
        QFETCH(QString, fields);
        QFETCH(QByteArray, csv);
        LiveSnapshot snapshot;
        // The blank row an empty grid holds is no rider: no format carries it.
        snapshot.protocol = {list("1/1/1")[0], cells.split('|'), QStringList(13, " ")};
        QCOMPARE(fieldsOf(snapshot.protocol), Rows{fields.split('|')});
        QCOMPARE(WebFormats::resultsCsv(snapshot),
                 Names.split(' ').join(',').toUtf8() + "\r\n" + csv);

        QXmlStreamReader xml(WebFormats::resultsXml(snapshot));
        QStringList tags, texts;
        QVERIFY(xml.readNextStartElement() && xml.readNextStartElement() && xml.name() == u"row");
        for (; xml.readNextStartElement(); tags << xml.name().toString())
            texts << xml.readElementText();
        QVERIFY(!xml.hasError() && tags == Names.split(' ') && !xml.readNextStartElement());
        QCOMPARE(texts, fields.replace(u'\x07', QChar(0xFFFD)).split('|'));
    }

    void liveState()
    {
        LiveSnapshot s;
        const auto live = [&](quint32 now) {
            return pick(QJsonDocument::fromJson(WebFormats::liveJson(s, now)).object(),
                        "run/phase run/moving run/countdown run/hundredths run/time procedure "
                        "starter/startNumber starter/position result/row/rider toBeat/time");
        };
        QCOMPARE(live(0), QString("idle|false|false|0|0,00|A||0|null|null"));
        s.competition.procedure = JudgingProcedure::CFahren, s.competition.decimals = 1;
        s.starter = {"12\tx", "K12", "Pferd", "Reiter", "Verein", 2, {"a", "b", "c"}, {}};
        s.protocol = list("5/60,00/Ret. 6/61,20/1");
        s.result = {s.protocol[1], "Ret.", "Ret."};
        s.run.giveCountdown(0, 45000);
        QCOMPARE(live(1005), QString("countdown|true|true|4400|44,0|C fahren|12|3|Reiter 5|61,20"));
        s.run.standCountdown(200);
        QCOMPARE(live(900), QString("countdown|false|true|4480|44,8|C fahren|12|3|Reiter 5|61,20"));
    }

    // An arena's messages go out as they came, the live one with its age (none below 0: stamped
    // after the clock was read); one that is not JSON of its kind (cut off, or an array for an
    // object) goes out as null, so no broken text reaches a page.
    void showArenas()
    {
        const QString name = "Platz 1 \"A\"" + QString(QChar(0xD800));
        const ShowArenas show{
            "Turnier",
            {{name, true, R"({"run":{"hundredths":1234},"ageMs":5})", R"([{"rank":"1"}])", 9'750},
             {"B", false, "{}", "[]", 10'020},
             {"C", true, R"({"run":{"hundredths":1)", "[{", 0},
             {"D", true, "[{}]", R"({"0":{}})", 0}}};
        const QJsonObject o = object(WebFormats::showJson(show, 10'000));
        QCOMPARE(pick(o, "show arenas/0/name arenas/0/online arenas/0/live/run/hundredths "
                         "arenas/0/live/ageMs arenas/0/results/0/rank arenas/1/online "
                         "arenas/1/live/ageMs arenas/1/results arenas/2/live arenas/2/results "
                         "arenas/3/live arenas/3/results"),
                 "Turnier|Platz 1 \"A\"" + QString(QChar(0xFFFD)) +
                     "|true|1234|250|1|false|0||null|null|null|null");
    }

    void rowsMessageAppliedGivesTheNewList_data()
    {
        QTest::addColumn<QString>("before"); // empty: a page reconnecting, its old rows stale
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("inserted"); // rows the message carries
        const QString abc = "1/60/1 2/61/2 3/62/3";
        QTest::newRow("whole list") << "" << abc << 3;
        QTest::newRow("inserted in the middle") << abc << "1/60/1 9/60,5/2 2/61/3 3/62/4" << 1;
        QTest::newRow("faster after a correction, one removed") << abc << "3/59/1 1/60/2" << 2;
        QTest::newRow("a tie and an abort") << abc << "1/60/1 2/61/2 8/61/2 3/62/4 5/EL/EL" << 3;
        QTest::newRow("entered above a tie: the tie moves down unsent")
            << "1/60/1 2/61/2 3/61/2 4/62/4"
            << "9/59/1 1/60/2 2/61/3 3/61/3 4/62/5" << 1;
        QString big, less; // one entered in the middle: the rest keep their rows
        for (int i = 1; i <= 2001; ++i) {
            big += QString(" %1/100/%1").arg(i);
            if (i != 1001)
                less += QString(" %1/100/%2").arg(i).arg(i < 1001 ? i : i - 1);
        }
        QTest::newRow("2000 rows, one entered") << less << big << 1;
    }
    void rowsMessageAppliedGivesTheNewList()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        const Rows old = list(before), now = list(after);
        const QByteArray bytes = WebFormats::rowsMessage(old, 5, now, 6);
        QVERIFY2(bytes.size() < 400 || now.size() < 10, bytes.constData());
        const QJsonObject m = object(bytes);
        QTEST(int(m["insert"].toArray().size()), "inserted");
        QCOMPARE(pick(m, "base rev headings/3"), old.isEmpty() ? "-1|6|Reiter" : "5|6|null");
        const QJsonArray page = splice(
            {}, object(WebFormats::rowsMessage({}, 0, old.isEmpty() ? list("7/1/1") : old, 5)));
        QCOMPARE(shown(splice(page, m)), fieldsOf(now));
    }
};

QTEST_GUILESS_MAIN(tst_WebFormats)
#include "tst_webformats.moc"
