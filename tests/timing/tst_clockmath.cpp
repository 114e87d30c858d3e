#include "ClockMath.h"
#include "RunState.h"

#include <QtTest>

// The clock's arithmetic without any window: truncation, thresholds and the countdown's end.
class tst_ClockMath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countUp_data()
    {
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<int>("allowed");
        QTest::addColumn<int>("colorBefore");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("colorAfter");
        QTest::addColumn<bool>("recolor");
        QTest::addColumn<bool>("over");
        QTest::newRow("first refresh after ready") << 0 << 120 << 2 << 0 << 3 << true << false;
        QTest::newRow("12389 ms truncates") << 12389 << 120 << 3 << 1238 << 3 << false << false;
        QTest::newRow("exactly the allowed time")
            << 60009 << 60 << 3 << 6000 << 3 << false << false;
        QTest::newRow("one hundredth over") << 60010 << 60 << 3 << 6001 << 4 << true << true;
        QTest::newRow("still over, no recolour") << 70000 << 60 << 4 << 7000 << 4 << false << true;
        QTest::newRow("allowed time 0") << 10 << 0 << 3 << 1 << 4 << true << true;
        QTest::newRow("back within after a change")
            << 50000 << 60 << 4 << 5000 << 3 << true << false;
    }

    void countUp()
    {
        QFETCH(int, elapsed);
        QFETCH(int, allowed);
        QFETCH(int, colorBefore);
        const ClockStep s = computeClockStep(elapsed, false, 60, allowed, quint8(colorBefore));
        QTEST(int(s.shown), "shown");
        QTEST(int(s.colorState), "colorAfter");
        QTEST(s.recolor, "recolor");
        QTEST(s.overAllowedTime, "over");
        QVERIFY(!s.countdownAlarm && !s.countdownExpired);
    }

    void countdown_data()
    {
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("colorBefore");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("expired");
        QTest::newRow("10.01 s left") << 34990 << 45 << 2 << 1001 << false << false;
        QTest::newRow("10.00 s left") << 35000 << 45 << 2 << 1000 << true << false;
        QTest::newRow("0.01 s left, red already") << 44990 << 45 << 4 << 1 << false << false;
        QTest::newRow("nothing left") << 45000 << 45 << 4 << 0 << false << true;
        QTest::newRow("late refresh") << 45300 << 45 << 4 << -30 << false << true;
    }

    void countdown()
    {
        QFETCH(int, elapsed);
        QFETCH(int, length);
        QFETCH(int, colorBefore);
        const ClockStep s = computeClockStep(elapsed, true, length, 0, quint8(colorBefore));
        QTEST(int(s.shown), "shown");
        QTEST(s.countdownAlarm, "alarm");
        QTEST(s.countdownExpired, "expired");
        QVERIFY(!s.overAllowedTime); // no time faults while counting down
        QCOMPARE(int(s.colorState), s.countdownAlarm ? 4 : colorBefore);
    }

    void digits_data()
    {
        QTest::addColumn<int>("hundredths");
        QTest::addColumn<QString>("values");
        QTest::addColumn<bool>("hundredsLit");
        QTest::addColumn<bool>("tensLit");
        QTest::newRow("9.99") << 999 << "00999" << false << false;
        QTest::newRow("10.00") << 1000 << "01000" << false << true;
        QTest::newRow("100.00") << 10000 << "10000" << true << true;
        // The hundreds digit gets 12 and shows 0; the thousands are lost.
        QTest::newRow("1234.56") << 123456 << "(12)3456" << true << true;
    }

    void digits()
    {
        QFETCH(int, hundredths);
        const ClockDigits d = splitClockDigits(hundredths / 100, hundredths % 100);
        QString values;
        for (int v : d.value)
            values += v > 9 ? QStringLiteral("(%1)").arg(v) : QString::number(v);
        QTEST(values, "values");
        QTEST(d.hundredsLit, "hundredsLit");
        QTEST(d.tensLit, "tensLit");
    }

    void ticksAcrossWrap()
    {
        QCOMPARE(ticksBetween(0xFFFFFF00u, 0x00000100u), 512);
        QCOMPARE(ticksBetween(0u, 0x7FFFFFFFu), 0x7FFFFFFF);
    }
};

QTEST_MAIN(tst_ClockMath)
#include "tst_clockmath.moc"
