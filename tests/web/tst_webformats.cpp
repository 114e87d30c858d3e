#include "WebFormats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <QXmlStreamReader>

using Rows = QList<QStringList>;

namespace {
const QStringList Names{"rank", "startNumber", "headNumber",     "rider",      "horse",
                        "club", "faults",      "penaltySeconds", "timeFaults", "points",
                        "time", "rideTime",    "abort"};
const QStringList Headings{"St.Nr",  "Kopf",    "Pferd",  "Reiter", "Verein", "Zeit",
                           "Zeitf.", "Strafs.", "Fehler", "Punkte", "Gesamt", "Rang"};
const QString Lone = QString(QChar(0xD800)); // a high surrogate without its pair
const QString Bad = QString(QChar(0xFFFD));

// start number, head, horse, rider, club, ride time, time faults, penalty, faults, points, total,
// rank
QStringList row(const QString &nr, const QString &rider, const QString &time, const QString &rank)
{
    return {nr, "K" + nr, "Pferd " + nr, rider, "RV", time, "", "0", "0", "0,00", time, rank};
}

Rows withHeadings(const Rows &rows)
{
    return Rows{Headings} + rows;
}

// RFC 4180 as a spreadsheet reads it: quoted fields may hold anything, "" is a quote.
QList<QStringList> readCsv(const QString &text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == '"' && text.mid(i + 1, 1) == u"\"")
                field += c, ++i;
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == ';' || c == '\t' || c == '"' && !field.isEmpty()) {
            return {}; // a spreadsheet set to semicolons or tabs would split here
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record << field, field.clear();
        } else if (c == '\r' && text.mid(i + 1, 1) == u"\n") {
            records << (record << field), record.clear(), field.clear(), ++i;
        } else {
            field += c;
        }
    }
    return records;
}

// The page's script, in C++: one splice, the count checked, then the ranks.
Rows applyRows(Rows page, qint64 revision, const QJsonObject &m, qint64 *newRevision)
{
    const qint64 base = m["base"].toInteger();
    if (base == -1)
        page.clear();
    else if (base != revision)
        return {}; // the page reconnects
    const qsizetype at = m["at"].toInteger();
    page.remove(at, qMin<qsizetype>(m["remove"].toInteger(), page.size() - at));
    const QJsonArray insert = m["insert"].toArray();
    for (qsizetype i = 0; i < insert.size(); ++i) {
        QStringList fields;
        for (const QString &name : Names)
            fields << insert[i][name].toString();
        page.insert(at + i, fields);
    }
    if (page.size() != m["count"].toInteger())
        return {};
    for (qsizetype k = 0; k < page.size(); ++k)
        page[k][0] = QString::number(k + 1);
    for (const QJsonValue &rank : m["ranks"].toArray())
        page[rank[0].toInteger()][0] = rank[1].toString();
    *newRevision = m["rev"].toInteger();
    return page;
}

Rows asFields(const Rows &protocol)
{
    Rows out;
    for (qsizetype r = 1; r < protocol.size(); ++r) {
        const QJsonObject o = WebFormats::rowObject(protocol[r]);
        QStringList fields;
        for (const QString &name : Names)
            fields << o[name].toString();
        out << fields;
    }
    return out;
}
} // namespace

class tst_WebFormats : public QObject
{
    Q_OBJECT
private slots:
    void everyFormatCarriesTheRow_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("fields");    // as JSON and CSV give them
        QTest::addColumn<QStringList>("xmlFields"); // empty: as the others
        QTest::newRow("quotes, markup, CDATA end, umlauts") << QStringList{"7\t7\tx\ty\tz",
                                                                           "12",
                                                                           "Hüpf \"Max\" <b>",
                                                                           "O'Brien & Söhne",
                                                                           "RV ]]> Köln",
                                                                           "61,20",
                                                                           "",
                                                                           "0",
                                                                           "4",
                                                                           "4,00",
                                                                           "61,20",
                                                                           "2"}
                                                            << QStringList{"2",
                                                                           "7",
                                                                           "12",
                                                                           "O'Brien & Söhne",
                                                                           "Hüpf \"Max\" <b>",
                                                                           "RV ]]> Köln",
                                                                           "4",
                                                                           "0",
                                                                           "",
                                                                           "4,00",
                                                                           "61,20",
                                                                           "61,20",
                                                                           ""}
                                                            << QStringList{};
        QTest::newRow("separators and line breaks")
            << QStringList{"8",
                           "",
                           "Pferd; \"A\", B",
                           "Tab\there",
                           "Zeile 1\r\nZeile 2\nLF",
                           "59,01",
                           "1",
                           "0",
                           "0",
                           "1,00",
                           "59,01",
                           "1"}
            << QStringList{"1", "8", "",  "Tab\there", "Pferd; \"A\", B", "Zeile 1\r\nZeile 2\nLF",
                           "0", "0", "1", "1,00",      "59,01",           "59,01",
                           ""}
            << QStringList{};
        QTest::newRow("lone surrogate, control character, a pair kept")
            << QStringList{"9",
                           "",
                           "Ross" + Lone,
                           "Bell\x07 \U0001F40E",
                           "RV",
                           "70,00",
                           "",
                           "0",
                           "0",
                           "0,00",
                           "70,00",
                           "3"}
            << QStringList{"3",
                           "9",
                           "",
                           "Bell\x07 \U0001F40E",
                           "Ross" + Bad,
                           "RV",
                           "0",
                           "0",
                           "",
                           "0,00",
                           "70,00",
                           "70,00",
                           ""}
            << QStringList{"3",
                           "9",
                           "",
                           "Bell" + Bad + " \U0001F40E",
                           "Ross" + Bad,
                           "RV",
                           "0",
                           "0",
                           "",
                           "0,00",
                           "70,00",
                           "70,00",
                           ""};
        QTest::newRow("aborted") << QStringList{"10", "",  "P", "R",    "C",    "Ret.",
                                                "",   "0", "8", "Ret.", "Ret.", "Ret."}
                                 << QStringList{"Ret.", "10", "", "R", "P", "C",   "8",
                                                "0",    "",   "", "",  "",  "Ret."}
                                 << QStringList{};
    }
    void everyFormatCarriesTheRow()
    {
        QFETCH(QStringList, cells);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, xmlFields);
        LiveSnapshot snapshot;
        snapshot.protocol = withHeadings({cells, row("99", "Zweite", "80,00", "4")});

        const QByteArray json = WebFormats::resultsJson(snapshot);
        QJsonParseError error;
        const QJsonArray array = QJsonDocument::fromJson(json, &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(array.size(), 2);
        QStringList fromJson;
        for (const QString &name : Names)
            fromJson << array[0][name].toString();
        QCOMPARE(fromJson, fields);
        QCOMPARE(array[1]["rider"].toString(), QString("Zweite"));

        const QByteArray csv = WebFormats::resultsCsv(snapshot);
        QVERIFY(csv.startsWith("rank,startNumber,")); // no BOM
        QVERIFY(csv.endsWith("\r\n"));
        const QList<QStringList> records = readCsv(QString::fromUtf8(csv));
        QCOMPARE(records.size(), 3);
        QCOMPARE(records[0], Names);
        QCOMPARE(records[1], fields);
        QCOMPARE(records[2].value(3), QString("Zweite"));

        QXmlStreamReader xml(WebFormats::resultsXml(snapshot));
        QList<QStringList> xmlRows;
        QStringList elementNames;
        while (xml.readNextStartElement()) {
            if (xml.name() == u"results")
                continue;
            QStringList values;
            elementNames.clear();
            while (xml.readNextStartElement())
                elementNames << xml.name().toString(), values << xml.readElementText();
            xmlRows << values;
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(elementNames, Names);
        QCOMPARE(xmlRows.size(), 2);
        QCOMPARE(xmlRows[0], xmlFields.isEmpty() ? fields : xmlFields);
    }

    void liveState_data()
    {
        QTest::addColumn<LiveRun>("run");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<quint32>("now");
        QTest::addColumn<QString>("phase");
        QTest::addColumn<bool>("moving");
        QTest::addColumn<bool>("countdown");
        QTest::addColumn<int>("hundredths");
        QTest::addColumn<QString>("time");
        constexpr quint32 T0 = 0xFFFFF000u; // the counter wraps during the run
        LiveRun run;
        QTest::newRow("idle") << run << 2 << T0 << "idle" << false << false << 0 << "0,00";
        run.start(T0);
        QTest::newRow("running, one decimal, truncated")
            << run << 1 << T0 + 65439 << "running" << true << false << 6543 << "65,4";
        run.hold(T0 + 10009);
        QTest::newRow("held") << run << 2 << T0 + 90000 << "held" << false << false << 1000
                              << "10,00";
        run.resume(T0 + 11000), run.stop(T0 + 70017);
        QTest::newRow("stopped, no decimals")
            << run << 0 << T0 + 90000 << "stopped" << false << false << 6902 << "69";
        run.enter();
        QTest::newRow("entered") << run << 2 << T0 << "entered" << false << false << 6902
                                 << "69,02";
        run.giveCountdown(T0, 45000);
        QTest::newRow("countdown counting")
            << run << 2 << T0 + 1005 << "countdown" << true << true << 4400 << "44,00";
        run.standCountdown(T0 + 2000);
        QTest::newRow("countdown standing")
            << run << 2 << T0 + 9000 << "countdown" << false << true << 4300 << "43,00";
        run.abort(T0 + 3000);
        QTest::newRow("aborted") << run << 2 << T0 + 9000 << "aborted" << false << true << 4300
                                 << "43,00";
    }
    void liveState()
    {
        QFETCH(LiveRun, run);
        QFETCH(int, decimals);
        QFETCH(quint32, now);
        LiveSnapshot s;
        s.run = run;
        s.competition.decimals = decimals;
        s.competition.title1 = "Springprüfung \"L\"";
        s.competition.procedure = JudgingProcedure::CFahren;
        s.starter = {"12\tx\ty", "K12", "Pferd", "Reiter", "Verein", 2, {"a", "b", "c"}, {}};
        s.scoring = {"4", "1", "0,25", "5,25"};
        s.protocolRevision = 17;
        s.result = {row("5", "Fünf", "61,20", "2"), "2", "Punkte:0,00   Rang:2"};
        s.protocol = withHeadings({row("5", "A", "60,00", "Ret."), row("6", "B", "61,20", "1")});

        QJsonParseError error;
        const QJsonObject o =
            QJsonDocument::fromJson(WebFormats::liveJson(s, now), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonObject r = o["run"].toObject();
        QTEST(r["phase"].toString(), "phase");
        QTEST(r["moving"].toBool(), "moving");
        QTEST(r["countdown"].toBool(), "countdown");
        QTEST(r["hundredths"].toInt(-1), "hundredths");
        QTEST(r["time"].toString(), "time");
        QCOMPARE(o["decimals"].toInt(), decimals);
        QCOMPARE(o["title1"].toString(), s.competition.title1);
        QCOMPARE(o["procedure"].toString(), QString("C fahren"));
        QCOMPARE(o["revision"].toInt(), 17);
        const QJsonObject starter = o["starter"].toObject();
        QCOMPARE(starter["startNumber"].toString(), QString("12"));
        QCOMPARE(starter["rider"].toString(), QString("Reiter"));
        QCOMPARE(starter["position"].toInt(), 3);
        QCOMPARE(starter["count"].toInt(), 3);
        QCOMPARE(o["scoring"]["timeFaults"].toString(), QString("0,25"));
        QCOMPARE(o["result"]["row"]["rider"].toString(), QString("Fünf"));
        QCOMPARE(o["toBeat"]["time"].toString(), QString("61,20"));

        // Nothing chosen, nothing entered, nobody ranked first.
        s.starter.position = -1, s.result = {}, s.protocol.removeLast();
        const QJsonObject none = QJsonDocument::fromJson(WebFormats::liveJson(s, now)).object();
        QCOMPARE(none["starter"]["position"].toInt(-1), 0);
        QVERIFY(none["result"]["row"].isNull());
        QVERIFY(none["toBeat"].isNull());
    }

    void rowsMessageAppliedGivesTheNewList_data()
    {
        QTest::addColumn<Rows>("before"); // the protocol the page holds; empty: a new page
        QTest::addColumn<Rows>("after");
        QTest::addColumn<int>("inserted"); // rows the message carries
        QTest::addColumn<int>("maxBytes");
        const QStringList a = row("1", "A", "60,00", "1"), b = row("2", "B", "61,00", "2"),
                          c = row("3", "C", "62,00", "3"), d = row("4", "D", "63,00", "4");
        const auto ranked = [](QStringList r, const QString &rank) { return r[ColRank] = rank, r; };
        QTest::newRow("whole list") << Rows{} << withHeadings({a, b, c}) << 3 << 0;
        QTest::newRow("insert in the middle")
            << withHeadings({a, b, c})
            << withHeadings({a, row("9", "X", "60,50", "2"), ranked(b, "3"), ranked(c, "4")}) << 1
            << 0;
        QTest::newRow("removal") << withHeadings({a, b, c}) << withHeadings({a, ranked(c, "2")})
                                 << 0 << 0;
        QStringList faster = c;
        faster[ColTotalTime] = "59,00";
        QTest::newRow("re-ranking moves a row forward")
            << withHeadings({a, b, c, d})
            << withHeadings({ranked(faster, "1"), ranked(a, "2"), ranked(b, "3"), d}) << 3 << 0;
        QStringList renamed = b;
        renamed[ColHorse] = "Umbenannt";
        QTest::newRow("one cell edited")
            << withHeadings({a, b, c}) << withHeadings({a, renamed, c}) << 1 << 0;
        QTest::newRow("a tie and an abort")
            << withHeadings({a, b, c})
            << withHeadings({a,
                             b,
                             row("8", "T", "61,00", "2"),
                             ranked(c, "4"),
                             {"5", "", "", "", "", "EL", "", "0", "0", "EL", "EL", "EL"}})
            << 3 << 0;
        Rows renamedHeadings = withHeadings({a, b});
        renamedHeadings[0][ColRider] = "Rider";
        QTest::newRow("other headings: the whole list")
            << withHeadings({a, b}) << renamedHeadings << 2 << 0;
        Rows big, bigger;
        for (int i = 1; i <= 2000; ++i)
            big << row(QString::number(i), "R", QString::number(i + 100) + ",00",
                       QString::number(i));
        bigger = big;
        bigger.insert(1000, row("5000", "Neu", "1100,50", "1001"));
        for (int i = 1001; i <= 2000; ++i)
            bigger[i][ColRank] = QString::number(i + 1);
        QTest::newRow("2000 rows, one entered")
            << withHeadings(big) << withHeadings(bigger) << 1 << 400;
    }
    void rowsMessageAppliedGivesTheNewList()
    {
        QFETCH(Rows, before);
        QFETCH(Rows, after);
        QFETCH(int, maxBytes);
        const QByteArray bytes = WebFormats::rowsMessage(before, 5, after, 6);
        QVERIFY2(maxBytes == 0 || bytes.size() <= maxBytes, bytes.constData());
        QVERIFY(!bytes.contains('\n'));
        const QJsonObject m = QJsonDocument::fromJson(bytes).object();
        QTEST(int(m["insert"].toArray().size()), "inserted");
        const bool whole = before.isEmpty() || before[0] != after[0];
        QCOMPARE(m["base"].toInteger(), whole ? -1 : 5);
        QCOMPARE(m.contains("headings"), whole);
        if (whole)
            QCOMPARE(m["headings"][ColRider].toString(), after[0][ColRider]);

        // A page reconnecting keeps its old rows until the whole list replaces them.
        const Rows page =
            before.isEmpty() ? asFields(withHeadings({row("7", "Alt", "", "")})) : asFields(before);
        qint64 revision = 0;
        QCOMPARE(applyRows(page, 5, m, &revision), asFields(after));
        QCOMPARE(revision, 6);
    }
};

QTEST_GUILESS_MAIN(tst_WebFormats)
#include "tst_webformats.moc"
