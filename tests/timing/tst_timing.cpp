#include "MainWindowFixture.h"

#include "ClockMath.h"
#include "PhotocellRules.h"
#include "Photocells.h"

// The clock's arithmetic, and the photocells: their edge rules, lock-out and ports. The
// photocell list's entries are compared by their kind, the rest being the time of day.
class tst_Timing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Settings = TSettings{};
        std::fill(LastLineState, LastLineState + 3, 0x55555555u);
    }

    void classify_data()
    {
        QTest::addColumn<QList<int>>("setup"); // sender, port 2, Kont1, Kont2, algorithm
        QTest::addColumn<QList<quint32>>("statuses");
        QTest::addColumn<QString>("expected"); // per status: the kind of a counted edge, or "-"
        using I = QList<int>;
        using S = QList<quint32>;
        const quint32 cts = 0x10, dsr = 0x20, cd = 0x80;
        QTest::newRow("start closes, stays, opens, repeats")
            << I{1, 0, 0, 0, 0} << S{dsr, dsr, 0, 0, dsr} << "1 - - - 1";
        QTest::newRow("start on CTS") << I{1, 0, 1, 0, 0} << S{dsr, cts} << "0 1";
        QTest::newRow("start on carrier") << I{1, 0, 2, 0, 0} << S{cd} << "1";
        QTest::newRow("finish on its own port") << I{2, 2, 0, 1, 0} << S{cts} << "2";
        QTest::newRow("finish on the start's port")
            << I{1, 1, 0, 1, 0} << S{cts, 0, cts | dsr} << "2 - 1";
        QTest::newRow("unknown port, DSR on") << I{3, 2, 0, 0, 0} << S{dsr, 0, cts} << "0 - -";
        QTest::newRow("kind 0 makes the next edge new")
            << I{1, 0, 0, 0, 0} << S{dsr, cts, dsr} << "1 - 1";
        QTest::newRow("off: opening counts") << I{1, 0, 0, 0, 1} << S{dsr, 0, dsr, 0} << "- 1 - 1";
        QTest::newRow("off: finish opens on CTS") << I{1, 1, 0, 1, 1} << S{cts | dsr, dsr} << "- 2";
        QTest::newRow("other algorithm: nothing") << I{1, 0, 0, 0, 2} << S{dsr, 0} << "- -";
    }

    void classify()
    {
        QFETCH(QList<int>, setup);
        QFETCH(QList<quint32>, statuses);
        quint32 state[3] = {0x00000000, 0x55555555, 0x00AAAAAA};
        QStringList got;
        for (quint32 status : statuses) {
            const LineChange c = ClassifyLineChange(state, setup[0], 1, setup[1], setup[2],
                                                    setup[3], setup[4], status);
            got << (c.counts ? QString::number(c.kind) : QStringLiteral("-"));
        }
        QTEST(got.join(QLatin1Char(' ')), "expected");
    }

    void oneLineServesStartAndFinish()
    {
        Settings.Port1 = Settings.Port2 = 1;
        MainWindowFixture f;
        QVERIFY(f.ui.ComPort1->Connected() && !f.ui.ComPort2->Connected()); // watched once

        f.key(Qt::Key_F11);
        edge(f.ports.com1, ModemLine::DSR); // starts in Ready
        QVERIFY(f.ui.bSTOP->isEnabled());
        f.key(Qt::Key_F12);
        // The lock-out runs 1000 ms from the start edge by the edges' ticks, even when a coarse
        // timer fires early.
        f.ticks.advance(960);
        f.window->photocells().TimerGesperrtTimer();
        edge(f.ports.com1, 0);
        edge(f.ports.com1, ModemLine::DSR); // 960 ms after the start: logged only
        QVERIFY(f.ui.bSTOP->isEnabled());

        f.ticks.advance(40);
        f.window->photocells().TimerGesperrtTimer(); // the lock-out is over
        QVERIFY(!f.ui.TimerGesperrt->isActive());
        edge(f.ports.com1, 0);
        edge(f.ports.com1, ModemLine::DSR);
        QVERIFY(!f.ui.bSTOP->isEnabled() && f.ui.ImageLSstop->tag() == 0);
        QCOMPARE(comboTexts(f.ui.cbRezervLS, 3).size(), 3);

        // After the lock-out, without F12, an edge is only logged.
        f.ticks.advance(1000);
        f.window->protocol().bRESETClick();
        QVERIFY(f.ui.cbRezervLS->count() == 0 && !f.ui.cbRezervLS->isEnabled());
        f.key(Qt::Key_F5);
        edge(f.ports.com1, 0);
        edge(f.ports.com1, ModemLine::DSR);
        QVERIFY(f.ui.bSTOP->isEnabled() && f.ui.cbRezervLS->isEnabled());
        QCOMPARE(comboTexts(f.ui.cbRezervLS, 3), QStringList{"1. "});
    }

    // "ON", and "OFF": the contact opens as the beam breaks.
    void edgesStartAndFinish()
    {
        for (const bool normallyClosed : {false, true}) {
            std::fill(LastLineState, LastLineState + 3, 0x55555555u); // as at a start
            std::tie(Settings.Port1, Settings.Alg1, Settings.Port2, Settings.Kont2) =
                std::tuple(1, int(normallyClosed), 2, 1);
            const quint32 rest = normallyClosed ? quint32(ModemLine::DSR) : 0u,
                          broken = ModemLine::DSR ^ rest;
            MainWindowFixture f;
            // DTR and RTS feed the contacts.
            QVERIFY(f.ports.com1.settings.enableDTR);
            QCOMPARE(f.ports.com1.settings.flowControl, int(fcRtsCts));
            if (normallyClosed) {
                edge(f.ports.com1, rest); // closed at rest: no edge of this contact
                QCOMPARE(f.ui.cbRezervLS->count(), 0);
            }

            f.key(Qt::Key_F4); // TIMER arms the start photocell
            const quint32 startEdge = f.ticks.now();
            const int waits = f.ports.com1.waits;
            QVERIFY(f.stampEdge(f.ports.com1, broken));
            f.ticks.advance(50); // the GUI thread is busy before it gets to the edge
            QTRY_VERIFY(f.ui.bSTOP->isEnabled() && !f.ui.bSTART->isEnabled());
            QTRY_VERIFY(f.ports.com1.waits > waits); // the port waits for the next edge
            QCOMPARE(Run.RunStartTick, startEdge);
            QVERIFY(f.ui.cbRezervLS->currentIndex() == 0 && f.ui.cbRezervLS->isEnabled());
            edge(f.ports.com1, rest); // the beam is whole again: no edge of this contact
            f.key(Qt::Key_F11); // arming again while running changes nothing: START is unavailable
            edge(f.ports.com1, broken);
            QCOMPARE(comboTexts(f.ui.cbRezervLS, 3), (QStringList{"1. ", "1. "}));

            f.tick(61'230);
            f.window->photocells().TimerGesperrtTimer(); // the lock-out after the start is over
            f.key(Qt::Key_F12);
            const quint32 finishEdge = f.ticks.now();
            QVERIFY(f.stampEdge(f.ports.com2, ModemLine::CTS));
            f.ticks.advance(50);
            QTRY_VERIFY(!f.ui.bSTOP->isEnabled());
            QCOMPARE(Run.RunStopTick, finishEdge);
            QCOMPARE(f.elapsed(), 61'280); // edge to edge; the 50 ms after the finish do not count
            QCOMPARE(f.shown(), QStringLiteral("061,28"));
            QCOMPARE(comboTexts(f.ui.cbRezervLS, 3).last(), QStringLiteral("2. "));

            // Keys still stamp when they are handled. A finish edge from just before a key START,
            // served after it, is logged and never stops the run with a negative time.
            f.ticks.advance(1000);
            f.window->protocol().bRESETClick();
            f.key(Qt::Key_F12);
            edge(f.ports.com2, 0);
            QVERIFY(f.stampEdge(f.ports.com2, ModemLine::CTS));
            f.ticks.advance(7);
            f.key(Qt::Key_F5);
            QCOMPARE(Run.RunStartTick, f.ticks.now());
            QTRY_COMPARE(comboTexts(f.ui.cbRezervLS, 3), QStringList{"2. "});
            QVERIFY(f.ui.bSTOP->isEnabled());
        }
    }

    void portsShowAndHideTheControls()
    {
        {
            Settings.Port1 = 7; // no such device: left out without a word
            MainWindowFixture f;
            QVERIFY(f.ui.ImageLSstart->isHidden() && f.boxes.messages.isEmpty());
        }
        Settings.Port1 = 0;
        Settings.Port2 = 1; // a finish port alone shows both images
        MainWindowFixture f;
        QVERIFY(f.ui.ImageLSstart->isVisible() && f.ui.ImageLSstop->isVisible() &&
                f.ui.cbRezervLS->isVisible());
        // The adapter is pulled out: the port closes by itself and the photocell disappears.
        f.ports.com1.failWaits();
        QTRY_VERIFY(!f.ui.ComPort2->Connected());
        QVERIFY(f.ui.ImageLSstart->isHidden() && f.ui.cbRezervLS->isHidden());
    }

    void clockStep_data()
    {
        // Counting down or not, ms elapsed, the allowed time or the countdown's length in s, the
        // colour before.
        QTest::addColumn<QList<int>>("step");
        QTest::addColumn<QString>("expected"); // hundredths shown, colour after, events
        using S = QList<int>;
        QTest::newRow("first refresh after ready") << S{0, 0, 120, 2} << "0 3 recolor";
        QTest::newRow("exactly the allowed time") << S{0, 60009, 60, 3} << "6000 3";
        QTest::newRow("one hundredth over") << S{0, 60010, 60, 3} << "6001 4 recolor over";
        QTest::newRow("still over, no recolour") << S{0, 70000, 60, 4} << "7000 4 over";
        QTest::newRow("allowed time 0") << S{0, 10, 0, 3} << "1 4 recolor over";
        QTest::newRow("back within after a change") << S{0, 50000, 60, 4} << "5000 3 recolor";
        // Counting down: no time faults; the last 10 s turn red.
        QTest::newRow("10.01 s left") << S{1, 34990, 45, 2} << "1001 2";
        QTest::newRow("10.00 s left") << S{1, 35000, 45, 2} << "1000 4 alarm";
        QTest::newRow("0.01 s left, red already") << S{1, 44990, 45, 4} << "1 4";
        QTest::newRow("nothing left") << S{1, 45000, 45, 4} << "0 4 expired";
        QTest::newRow("late refresh") << S{1, 45300, 45, 4} << "-30 4 expired";
    }

    void clockStep()
    {
        QFETCH(QList<int>, step);
        const bool countdown = step[0];
        const ClockStep s = computeClockStep(step[1], countdown, countdown ? step[2] : 60,
                                             countdown ? 0 : step[2], quint8(step[3]));
        QStringList got{QString::number(s.shown), QString::number(s.colorState)};
        for (const auto &[happened, name] : {std::pair{s.recolor, "recolor"},
                                             {s.overAllowedTime, "over"},
                                             {s.countdownAlarm, "alarm"},
                                             {s.countdownExpired, "expired"}})
            if (happened)
                got << QString::fromLatin1(name);
        QTEST(got.join(u' '), "expected");
    }

    // Five digits, then whether the hundreds and tens are lit or dimmed as leading zeros. The
    // hundreds digit of 1234.56 gets 12 and shows 0; the thousands are lost.
    void digits()
    {
        const QStringList expected{"00999 --", "01000 -t", "10000 ht", "(12)3456 ht"};
        int i = 0;
        for (int hundredths : {999, 1000, 10000, 123456}) {
            const ClockDigits d = splitClockDigits(hundredths / 100, hundredths % 100);
            QString shown;
            for (int v : d.value)
                shown += v > 9 ? QStringLiteral("(%1)").arg(v) : QString::number(v);
            shown += QString(" ") + (d.hundredsLit ? "h" : "-") + (d.tensLit ? "t" : "-");
            QCOMPARE(shown, expected[i++]);
        }
    }
};

QTEST_MAIN(tst_Timing)
#include "tst_timing.moc"
