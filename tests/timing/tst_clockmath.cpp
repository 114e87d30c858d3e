#include "ClockMath.h"
#include "RunState.h"

#include <QtTest>

// The clock's arithmetic without any window: truncation, thresholds and the countdown's end.
class tst_ClockMath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clockStep_data()
    {
        QTest::addColumn<bool>("countdown");
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<int>("seconds"); // the allowed time, or the countdown's length
        QTest::addColumn<int>("colorBefore");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("colorAfter");
        QTest::addColumn<QString>("events");
        const auto row = [](const char *name, bool countdown, int elapsed, int seconds, int before,
                            int shown, int after, const char *events) {
            QTest::newRow(name) << countdown << elapsed << seconds << before << shown << after
                                << QString(events);
        };
        row("first refresh after ready", false, 0, 120, 2, 0, 3, "recolor");
        row("12389 ms truncates", false, 12389, 120, 3, 1238, 3, "");
        row("exactly the allowed time", false, 60009, 60, 3, 6000, 3, "");
        row("one hundredth over", false, 60010, 60, 3, 6001, 4, "recolor over");
        row("still over, no recolour", false, 70000, 60, 4, 7000, 4, "over");
        row("allowed time 0", false, 10, 0, 3, 1, 4, "recolor over");
        row("back within after a change", false, 50000, 60, 4, 5000, 3, "recolor");
        // Counting down: no time faults; the last 10 s turn red.
        row("10.01 s left", true, 34990, 45, 2, 1001, 2, "");
        row("10.00 s left", true, 35000, 45, 2, 1000, 4, "alarm");
        row("0.01 s left, red already", true, 44990, 45, 4, 1, 4, "");
        row("nothing left", true, 45000, 45, 4, 0, 4, "expired");
        row("late refresh", true, 45300, 45, 4, -30, 4, "expired");
    }

    void clockStep()
    {
        QFETCH(bool, countdown);
        QFETCH(int, elapsed);
        QFETCH(int, seconds);
        QFETCH(int, colorBefore);
        const ClockStep s =
            countdown ? computeClockStep(elapsed, true, seconds, 0, quint8(colorBefore))
                      : computeClockStep(elapsed, false, 60, seconds, quint8(colorBefore));
        QTEST(int(s.shown), "shown");
        QTEST(int(s.colorState), "colorAfter");
        QStringList events;
        for (const auto &[happened, name] : {std::pair{s.recolor, "recolor"},
                                             {s.overAllowedTime, "over"},
                                             {s.countdownAlarm, "alarm"},
                                             {s.countdownExpired, "expired"}})
            if (happened)
                events << QString::fromLatin1(name);
        QTEST(events.join(u' '), "events");
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
