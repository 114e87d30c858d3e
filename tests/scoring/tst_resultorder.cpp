#include "ResultOrder.h"

#include <QtTest>
#include <algorithm>

// Ordering and ranking of the protocol's result cells, and the column widths.
class TestResultOrder : public QObject
{
    Q_OBJECT
private slots:
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
    }

    void compare()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
        const int forward = CompareResultTexts(a, b), backward = CompareResultTexts(b, a);
        QCOMPARE((forward > 0) - (forward < 0), sign);
        QCOMPARE((backward > 0) - (backward < 0), -sign);
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

    void readsEitherDecimalMark()
    {
        QLocale::setDefault(QLocale(QLocale::English));
        double comma = 0, point = 0, value = 0;
        QVERIFY(readResultNumber(u"75,23", comma) && readResultNumber(u" 75.23 ", point));
        QCOMPARE(comma, 75.23);
        QCOMPARE(point, 75.23);
        for (const char16_t *bad : {u"", u",", u"7a", u"1.000,5", u"EL", u"--1"})
            QVERIFY2(!readResultNumber(bad, value), qPrintable(QString::fromUtf16(bad)));
    }

    void columnWidths()
    {
        QCOMPARE(protocolColumnWidths(1000),
                 (QVector<int>{39, 39, 109, 129, 199, 69, 69, 69, 69, 69, 69, 59}));
        // Whatever the width, the columns and their grid lines fill it exactly.
        for (int w : {777, 1913}) {
            const QVector<int> widths = protocolColumnWidths(w);
            QCOMPARE(std::accumulate(widths.begin(), widths.end(), 0) + ProtocolColumnCount, w);
        }
    }
};

QTEST_GUILESS_MAIN(TestResultOrder)
#include "tst_resultorder.moc"
