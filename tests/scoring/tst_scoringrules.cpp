#include "LocaleNumbers.h"
#include "ProtocolRow.h"
#include "ResultOrder.h"
#include "RunTimeText.h"
#include "TimeFaults.h"

#include <QtTest>

Q_DECLARE_METATYPE(RunEntry)

// The rules of one run (time faults, texts, its protocol row) and the protocol's order.
class TestScoringRules : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void timeFaults_data()
    {
        QTest::addColumn<QList<qint64>>("run"); // hundredths, allowed s, interval, per interval
        QTest::addColumn<double>("faults");
        using R = QList<qint64>;
        QTest::newRow("exactly the allowed time") << R{12000, 120, 100, 25} << 0.0;
        QTest::newRow("one hundredth over") << R{12001, 120, 100, 25} << 0.25;
        QTest::newRow("second interval begun") << R{12101, 120, 100, 25} << 0.5;
        QTest::newRow("4 s interval, 4.01 over") << R{6401, 60, 400, 100} << 2.0;
        // 2.5 s rounds to 2 s (halves to even); rounding half up would give 0 here.
        QTest::newRow("2.5 s interval rounds to 2") << R{6001, 60, 250, 100} << 1.0;
        QTest::newRow("0.1 s interval, same") << R{12010, 120, 10, 25} << 0.25;
        QTest::newRow("0.3 s interval leaves a fraction") << R{101, 1, 30, 100} << 4.0 - 100.0 / 30;
        QTest::newRow("damaged interval of 0") << R{12101, 120, 0, 25} << 0.0;
    }

    void timeFaults()
    {
        QFETCH(QList<qint64>, run);
        QTEST(computeTimeFaults(run[0], run[1], run[2], run[3]), "faults");
    }

    // Cut, not rounded; without decimals; hundredths padded; under a hundredth; past an hour.
    void formatRunTime()
    {
        QLocale::setDefault(QLocale(QLocale::English)); // the mark is a comma regardless
        const QList<qint64> ms{73456, 73999, 1059, 9, 3723450};
        const QStringList texts{"73,45", "73", "1,05", "0,00", "3723,45"};
        for (int i = 0; i < ms.size(); ++i)
            QCOMPARE(FormatRunTime(ms[i], texts[i].contains(u',') ? 2 : 0), texts[i]);
    }

    void protocolRow_data()
    {
        QTest::addColumn<RunEntry>("entry");
        QTest::addColumn<QStringList>("results"); // columns 5 to 10
        const auto row = [](const char *name, JudgingProcedure p, qint64 ms, const char *penalty,
                            const char *faults, const char *timeFaults, const char *abort,
                            int decimals, const QStringList &results) {
            const RunEntry e{"12\tMüller", "7",    "Pferd",    "Reiter", "Verein", ms,
                             penalty,      faults, timeFaults, p,        abort,    decimals};
            QTest::newRow(name) << e << results;
        };
        using P = JudgingProcedure;
        row("C: faults count as seconds", P::C, 79456, "6", "8", "0,00", "EL", 2,
            {"73,45", "0,00", "6", "8", "8,00", "87,45"});
        row("C fahren: points count as seconds", P::CFahren, 79456, "6", "8", "0,25", "EL", 2,
            {"73,45", "0,25", "6", "8", "8,25", "87,70"});
        row("one decimal", P::A, 79456, "6", "0", "0,00", "EL", 1,
            {"73,4", "0,00", "6", "0", "0,00", "79,4"});
        row("not started", P::A, 0, "0", "0", "0,00", "N.st.", 2,
            {"N.st.", "0,00", "0", "0", "N.st.", "N.st."});
        row("penalty seconds only, no riding time", P::A, 6000, "6", "0", "0,00", "Ret.", 2,
            {"Ret.", "0,00", "6", "0", "Ret.", "Ret."});
    }

    void protocolRow()
    {
        QFETCH(RunEntry, entry);
        QStringList row;
        QVERIFY(buildProtocolRow(entry, row));
        QCOMPARE(row.mid(0, 5), (QStringList{"12", "7", "Pferd", "Reiter", "Verein"}));
        QTEST(row.mid(5, 6), "results");
        QCOMPARE(row[ColRank], QStringLiteral("7"));
    }

    void protocolRowRefusesNonNumbers()
    {
        RunEntry entry{{}, {}, {}, {}, {}, 50000, "0", "x", "0,00", JudgingProcedure::A, "EL", 2};
        QStringList row{QStringLiteral("untouched")};
        QString error;
        QVERIFY(!buildProtocolRow(entry, row, &error));
        QCOMPARE(row, QStringList{QStringLiteral("untouched")});
        QVERIFY(error.contains(QStringLiteral("'x'")));

        // A group separator is not a decimal mark: "1.000" is no number in a German field.
        double value = 0;
        QVERIFY(!LocaleNumbers::toDouble(QStringLiteral("1.000"), value) &&
                LocaleNumbers::toDouble(QStringLiteral(" 0,25 "), value));
        QCOMPARE(value, 0.25);
    }

    void compare_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("sign");
        QTest::newRow("shorter number first") << QStringList{"9,99", "10,00"} << -1;
        QTest::newRow("one decimal against two") << QStringList{"75,9", "75,23"} << 1;
        QTest::newRow("comma and point alike") << QStringList{"75.9", "75,90"} << 0;
        QTest::newRow("number before EL") << QStringList{"9999,99", "EL"} << -1;
        QTest::newRow("EL before Ret., any case") << QStringList{"el", "Ret."} << -1;
        QTest::newRow("Ret. before N.st.") << QStringList{"ret.", "N.ST."} << -1;
        QTest::newRow("N.st. before empty") << QStringList{"N.st.", "  "} << -1;
        QTest::newRow("other text after numbers") << QStringList{"abc", "99,00"} << 1;
        QTest::newRow("other text before EL") << QStringList{"DISQ", "EL"} << -1;
        QTest::newRow("other texts: shorter first") << QStringList{"DISQ", "abc"} << 1;
        QTest::newRow("other texts of one length") << QStringList{"abd", "abc"} << 1;
    }

    void compare()
    {
        QFETCH(QStringList, texts);
        QFETCH(int, sign);
        const QString &a = texts[0], &b = texts[1];
        const int forward = CompareResultTexts(a, b), backward = CompareResultTexts(b, a);
        QCOMPARE((forward > 0) - (forward < 0), sign);
        QCOMPARE((backward > 0) - (backward < 0), -sign);
        // The ranking's keys, worked out once per cell, decide alike.
        const ResultSortKey ka = resultSortKey(a), kb = resultSortKey(b);
        const int byKey = ka.group != kb.group   ? ka.group - kb.group
                          : ka.value != kb.value ? (ka.value < kb.value ? -1 : 1)
                          : ka.decides           ? 0
                                                 : CompareResultTexts(a, b);
        QCOMPARE((byKey > 0) - (byKey < 0), sign);
    }

    void ranks_data()
    {
        QTest::addColumn<QString>("points"); // per rider, "|" between
        QTest::addColumn<QString>("times");
        QTest::addColumn<QString>("ranks");
        const auto row = [](const char *name, const char *points, const char *times,
                            const char *ranks) {
            QTest::newRow(name) << QString(points) << QString(times) << QString(ranks);
        };
        row("tie on second place", "0,00|0,00|0,00|4,00", "68,90|70,10|70,10|60,00", "1|2|2|4");
        row("same time, other points", "0,00|4,00|4,00", "70,10|70,10|71,00", "1|2|3");
        row("aborts and starters without a result", "0,00|EL|Ret.|N.st.|", "70,10|EL|Ret.|N.st.|",
            "1|EL|Ret.|N.st.|");
        row("point as decimal mark", "0.00|0.00", "70.10|70.10", "1|1");
    }

    void ranks()
    {
        QFETCH(QString, points);
        QFETCH(QString, times);
        QTEST(rankTexts(points.split(u'|'), times.split(u'|')).join(u'|'), "ranks");
    }
};

QTEST_GUILESS_MAIN(TestScoringRules)
#include "tst_scoringrules.moc"
