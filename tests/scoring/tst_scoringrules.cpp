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
        QTest::addColumn<qint64>("cs");
        QTest::addColumn<qint64>("allowed");
        QTest::addColumn<qint64>("interval");
        QTest::addColumn<qint64>("perInterval");
        QTest::addColumn<double>("faults");
        const auto row = [](const char *name, qint64 cs, qint64 allowed, qint64 interval,
                            qint64 per, double faults) {
            QTest::newRow(name) << cs << allowed << interval << per << faults;
        };
        row("exactly the allowed time", 12000, 120, 100, 25, 0.0);
        row("one hundredth over", 12001, 120, 100, 25, 0.25);
        row("second interval begun", 12101, 120, 100, 25, 0.5);
        row("4 s interval, 4.01 over", 6401, 60, 400, 100, 2.0);
        // 2.5 s rounds to 2 s (halves to even); rounding half up would give 0 here.
        row("2.5 s interval rounds to 2", 6001, 60, 250, 100, 1.0);
        row("0.1 s interval, same", 12010, 120, 10, 25, 0.25);
        row("0.3 s interval leaves a fraction", 101, 1, 30, 100, 4.0 - 100.0 / 30.0);
        row("damaged interval of 0", 12101, 120, 0, 25, 0.0);
    }

    void timeFaults()
    {
        QFETCH(qint64, cs);
        QFETCH(qint64, allowed);
        QFETCH(qint64, interval);
        QFETCH(qint64, perInterval);
        QTEST(computeTimeFaults(cs, allowed, interval, perInterval), "faults");
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
        QVERIFY(!LocaleNumbers::toDouble(QStringLiteral("1.000"), value));
        QVERIFY(LocaleNumbers::toDouble(QStringLiteral(" 0,25 "), value));
        QCOMPARE(value, 0.25);
    }

    void compare_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("sign");
        const auto row = [](const char *name, const char *a, const char *b, int sign) {
            QTest::newRow(name) << QString(a) << QString(b) << sign;
        };
        row("shorter number first", "9,99", "10,00", -1);
        row("one decimal against two", "75,9", "75,23", 1);
        row("comma and point alike", "75.9", "75,90", 0);
        row("number before EL", "9999,99", "EL", -1);
        row("EL before Ret., any case", "el", "Ret.", -1);
        row("Ret. before N.st.", "ret.", "N.ST.", -1);
        row("N.st. before empty", "N.st.", "  ", -1);
        row("other text after numbers", "abc", "99,00", 1);
        row("other text before EL", "DISQ", "EL", -1);
        row("other texts: shorter first", "DISQ", "abc", 1);
        row("other texts of one length", "abd", "abc", 1);
    }

    void compare()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
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
        QTest::addColumn<QStringList>("points");
        QTest::addColumn<QStringList>("times");
        QTest::addColumn<QStringList>("ranks");
        QTest::newRow("tie on second place")
            << QStringList{"0,00", "0,00", "0,00", "4,00"}
            << QStringList{"68,90", "70,10", "70,10", "60,00"} << QStringList{"1", "2", "2", "4"};
        QTest::newRow("same time, other points")
            << QStringList{"0,00", "4,00", "4,00"} << QStringList{"70,10", "70,10", "71,00"}
            << QStringList{"1", "2", "3"};
        QTest::newRow("aborts and starters without a result")
            << QStringList{"0,00", "EL", "Ret.", "N.st.", ""}
            << QStringList{"70,10", "EL", "Ret.", "N.st.", ""}
            << QStringList{"1", "EL", "Ret.", "N.st.", ""};
        QTest::newRow("point as decimal mark")
            << QStringList{"0.00", "0.00"} << QStringList{"70.10", "70.10"}
            << QStringList{"1", "1"};
    }

    void ranks()
    {
        QFETCH(QStringList, points);
        QFETCH(QStringList, times);
        QTEST(rankTexts(points, times), "ranks");
    }
};

QTEST_GUILESS_MAIN(TestScoringRules)
#include "tst_scoringrules.moc"
