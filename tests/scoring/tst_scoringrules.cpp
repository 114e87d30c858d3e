#include "LocaleNumbers.h"
#include "ProtocolRow.h"
#include "RunTimeText.h"
#include "TimeFaults.h"

#include <QtTest>

Q_DECLARE_METATYPE(RunEntry)

// The rules of one run: time faults, the protocol's time texts and the row a run becomes.
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

        QTest::newRow("exactly the allowed time") << 12000LL << 120LL << 100LL << 25LL << 0.0;
        QTest::newRow("one hundredth over") << 12001LL << 120LL << 100LL << 25LL << 0.25;
        QTest::newRow("second interval begun") << 12101LL << 120LL << 100LL << 25LL << 0.5;
        QTest::newRow("4 s interval, 4.01 over") << 6401LL << 60LL << 400LL << 100LL << 2.0;
        // 2.5 s rounds to 2 s (halves to even); rounding half up would give 0 here.
        QTest::newRow("2.5 s interval rounds to 2") << 6001LL << 60LL << 250LL << 100LL << 1.0;
        QTest::newRow("0.1 s interval, same") << 12010LL << 120LL << 10LL << 25LL << 0.25;
        QTest::newRow("0.1 s interval, second") << 12011LL << 120LL << 10LL << 25LL << 0.5;
        QTest::newRow("0.3 s interval leaves a fraction")
            << 101LL << 1LL << 30LL << 100LL << (4.0 - 100.0 / 30.0);
        QTest::newRow("damaged interval of 0") << 12101LL << 120LL << 0LL << 25LL << 0.0;
    }

    void timeFaults()
    {
        QFETCH(qint64, cs);
        QFETCH(qint64, allowed);
        QFETCH(qint64, interval);
        QFETCH(qint64, perInterval);
        QFETCH(double, faults);
        QVERIFY2(
            qAbs(computeTimeFaults(cs, allowed, interval, perInterval) - faults) < 1e-9,
            qPrintable(QString::number(computeTimeFaults(cs, allowed, interval, perInterval))));
    }

    void formatRunTime_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("cut, not rounded") << 73456LL << 2 << "73,45";
        QTest::newRow("one decimal") << 73456LL << 1 << "73,4";
        QTest::newRow("no decimals") << 73999LL << 0 << "73";
        QTest::newRow("padded hundredths") << 1059LL << 2 << "1,05";
        QTest::newRow("under a hundredth") << 9LL << 2 << "0,00";
        QTest::newRow("past an hour") << 3723450LL << 2 << "3723,45";
    }

    void formatRunTime()
    {
        QFETCH(qint64, ms);
        QFETCH(int, decimals);
        QLocale::setDefault(QLocale(QLocale::English)); // the mark is a comma regardless
        QTEST(FormatRunTime(ms, decimals), "text");
    }

    void protocolRow_data()
    {
        QTest::addColumn<RunEntry>("entry");
        QTest::addColumn<QStringList>("results"); // columns 5 to 10
        const auto row = [](const char *name, JudgingProcedure procedure, qint64 clockMs,
                            const char *penalty, const char *faults, const char *timeFaults,
                            const char *abortText, int decimals, const QStringList &results) {
            QTest::newRow(name) << RunEntry{"12\tMüller\tHorse",
                                            "7",
                                            "Pferd",
                                            "Reiter",
                                            "Verein",
                                            clockMs,
                                            penalty,
                                            faults,
                                            timeFaults,
                                            procedure,
                                            abortText,
                                            decimals}
                                << results;
        };
        using P = JudgingProcedure;
        row("A with penalty seconds", P::A, 79456, "6", "0", "0,00", "EL", 2,
            {"73,45", "0,00", "6", "0", "0,00", "79,45"});
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

    void pointsFollowTheLocale()
    {
        QLocale::setDefault(QLocale(QLocale::English));
        RunEntry entry{{},   {}, {}, {}, {}, 79456, "6", "8", "0.25", JudgingProcedure::CFahren,
                       "EL", 2};
        QStringList row;
        QVERIFY(buildProtocolRow(entry, row));
        QCOMPARE(row[ColPoints], QStringLiteral("8.25"));
        QCOMPARE(row[ColTotalTime], QStringLiteral("87,70"));
        QCOMPARE(LocaleNumbers::shortest(1234567), QStringLiteral("1234567")); // no group marks
        QCOMPARE(LocaleNumbers::shortest(6.5), QStringLiteral("6.5"));
    }
};

QTEST_GUILESS_MAIN(TestScoringRules)
#include "tst_scoringrules.moc"
