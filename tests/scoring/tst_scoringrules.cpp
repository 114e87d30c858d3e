#include "LocaleNumbers.h"
#include "ProtocolRow.h"
#include "RunTimeText.h"
#include "TimeFaults.h"

#include <QtTest>

// The rules of one run: time faults, the protocol's time texts and the row a run becomes.
class TestScoringRules : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void timeFaults_data();
    void timeFaults();
    void formatRunTime_data();
    void formatRunTime();
    void protocolRow_data();
    void protocolRow();
    void protocolRowRefusesNonNumbers();
    void pointsFollowTheLocale();
};

void TestScoringRules::timeFaults_data()
{
    QTest::addColumn<qint64>("cs");
    QTest::addColumn<qint64>("allowed");
    QTest::addColumn<qint64>("interval");
    QTest::addColumn<qint64>("perInterval");
    QTest::addColumn<double>("faults");

    QTest::newRow("exactly the allowed time") << 12000LL << 120LL << 100LL << 25LL << 0.0;
    QTest::newRow("one hundredth over") << 12001LL << 120LL << 100LL << 25LL << 0.25;
    QTest::newRow("a whole second over") << 12100LL << 120LL << 100LL << 25LL << 0.25;
    QTest::newRow("second interval begun") << 12101LL << 120LL << 100LL << 25LL << 0.5;
    QTest::newRow("4 s interval, 4.00 over") << 6400LL << 60LL << 400LL << 100LL << 1.0;
    QTest::newRow("4 s interval, 4.01 over") << 6401LL << 60LL << 400LL << 100LL << 2.0;
    // 2.5 s rounds to 2 s (halves to even); rounding half up would give 0 here.
    QTest::newRow("2.5 s interval rounds to 2") << 6001LL << 60LL << 250LL << 100LL << 1.0;
    QTest::newRow("0.1 s interval, first") << 12001LL << 120LL << 10LL << 25LL << 0.25;
    QTest::newRow("0.1 s interval, same") << 12010LL << 120LL << 10LL << 25LL << 0.25;
    QTest::newRow("0.1 s interval, second") << 12011LL << 120LL << 10LL << 25LL << 0.5;
    QTest::newRow("0.3 s interval leaves a fraction")
        << 101LL << 1LL << 30LL << 100LL << (4.0 - 100.0 / 30.0);
    QTest::newRow("damaged interval of 0") << 12101LL << 120LL << 0LL << 25LL << 0.0;
}

void TestScoringRules::timeFaults()
{
    QFETCH(qint64, cs);
    QFETCH(qint64, allowed);
    QFETCH(qint64, interval);
    QFETCH(qint64, perInterval);
    QFETCH(double, faults);
    QVERIFY2(qAbs(computeTimeFaults(cs, allowed, interval, perInterval) - faults) < 1e-9,
             qPrintable(QString::number(computeTimeFaults(cs, allowed, interval, perInterval))));
}

void TestScoringRules::formatRunTime_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("cut, not rounded") << 73456LL << 2 << "73,45";
    QTest::newRow("one decimal") << 73456LL << 1 << "73,4";
    QTest::newRow("no decimals") << 73999LL << 0 << "73";
    QTest::newRow("no minutes") << 125500LL << 2 << "125,50";
    QTest::newRow("padded hundredths") << 1059LL << 2 << "1,05";
    QTest::newRow("under a hundredth") << 9LL << 2 << "0,00";
    QTest::newRow("past an hour") << 3723450LL << 2 << "3723,45";
}

void TestScoringRules::formatRunTime()
{
    QFETCH(qint64, ms);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(QLocale::English)); // the mark is a comma regardless
    QCOMPARE(FormatRunTime(ms, decimals), text);
}

void TestScoringRules::protocolRow_data()
{
    QTest::addColumn<int>("procedure");
    QTest::addColumn<qint64>("clockMs");
    QTest::addColumn<QString>("penalty");
    QTest::addColumn<QString>("faults");
    QTest::addColumn<QString>("timeFaults");
    QTest::addColumn<QString>("abortText");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QStringList>("results"); // columns 5 to 10

    const QStringList a = {"73,45", "0,00", "6", "0", "0,00", "79,45"};
    QTest::newRow("A with penalty seconds") << int(JudgingProcedure::A) << 79456LL << "6"
                                            << "0"
                                            << "0,00"
                                            << "EL" << 2 << a;
    QTest::newRow("C: faults count as seconds")
        << int(JudgingProcedure::C) << 79456LL << "6"
        << "8"
        << "0,00"
        << "EL" << 2 << QStringList{"73,45", "0,00", "6", "8", "8,00", "87,45"};
    QTest::newRow("C fahren: points count as seconds")
        << int(JudgingProcedure::CFahren) << 79456LL << "6"
        << "8"
        << "0,25"
        << "EL" << 2 << QStringList{"73,45", "0,25", "6", "8", "8,25", "87,70"};
    QTest::newRow("one decimal") << int(JudgingProcedure::A) << 79456LL << "6"
                                 << "0"
                                 << "0,00"
                                 << "EL" << 1
                                 << QStringList{"73,4", "0,00", "6", "0", "0,00", "79,4"};
    QTest::newRow("not started") << int(JudgingProcedure::A) << 0LL << "0"
                                 << "0"
                                 << "0,00"
                                 << "N.st." << 2
                                 << QStringList{"N.st.", "0,00", "0", "0", "N.st.", "N.st."};
    QTest::newRow("zero clock time")
        << int(JudgingProcedure::A) << 0LL << "0"
        << "4"
        << "0,00"
        << "EL" << 2 << QStringList{"EL", "0,00", "0", "4", "EL", "EL"};
    QTest::newRow("penalty seconds only, no riding time")
        << int(JudgingProcedure::A) << 6000LL << "6"
        << "0"
        << "0,00"
        << "Ret." << 2 << QStringList{"Ret.", "0,00", "6", "0", "Ret.", "Ret."};
}

void TestScoringRules::protocolRow()
{
    QFETCH(int, procedure);
    QFETCH(qint64, clockMs);
    QFETCH(QString, penalty);
    QFETCH(QString, faults);
    QFETCH(QString, timeFaults);
    QFETCH(QString, abortText);
    QFETCH(int, decimals);
    QFETCH(QStringList, results);

    RunEntry entry;
    entry.startNumber = QStringLiteral("12\tMüller\tHorse");
    entry.headNumber = QStringLiteral("7");
    entry.horse = QStringLiteral("Pferd");
    entry.rider = QStringLiteral("Reiter");
    entry.club = QStringLiteral("Verein");
    entry.clockMs = clockMs;
    entry.penaltyText = penalty;
    entry.faultText = faults;
    entry.timeFaultText = timeFaults;
    entry.procedure = JudgingProcedure(procedure);
    entry.abortText = abortText;
    entry.decimals = decimals;
    QStringList row;
    QVERIFY(buildProtocolRow(entry, row));
    QCOMPARE(row.mid(0, 5), (QStringList{"12", "7", "Pferd", "Reiter", "Verein"}));
    QCOMPARE(row.mid(5, 6), results);
    QCOMPARE(row[ColRank], QStringLiteral("7"));
}

void TestScoringRules::protocolRowRefusesNonNumbers()
{
    RunEntry entry;
    entry.clockMs = 50000;
    entry.penaltyText = QStringLiteral("0");
    entry.faultText = QStringLiteral("x");
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

void TestScoringRules::pointsFollowTheLocale()
{
    QLocale::setDefault(QLocale(QLocale::English));
    RunEntry entry;
    entry.clockMs = 79456;
    entry.penaltyText = QStringLiteral("6");
    entry.faultText = QStringLiteral("8");
    entry.timeFaultText = QStringLiteral("0.25");
    entry.procedure = JudgingProcedure::CFahren;
    QStringList row;
    QVERIFY(buildProtocolRow(entry, row));
    QCOMPARE(row[ColPoints], QStringLiteral("8.25"));
    QCOMPARE(row[ColTotalTime], QStringLiteral("87,70"));
    QCOMPARE(LocaleNumbers::shortest(1234567), QStringLiteral("1234567"));
    QCOMPARE(LocaleNumbers::shortest(6.5), QStringLiteral("6.5"));
}

QTEST_GUILESS_MAIN(TestScoringRules)
#include "tst_scoringrules.moc"
