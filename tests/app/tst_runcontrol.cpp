#include "MainWindowFixture.h"
#include "X11Keys.h"

#include "LocaleNumbers.h"
#include "RunScoring.h"

Q_DECLARE_METATYPE(RunPhase)

namespace {
// Enabled: TIMER START STOP HF EINTRAGEN RESET, CFG NoStart Aus Abbruch, S1 S2 S3 +6 s.
QString enabledFlags(TFormMainUi &ui)
{
    QString s;
    for (QWidget *w : std::initializer_list<QWidget *>{
             ui.bTimer, ui.bSTART, ui.bSTOP, ui.bHF, ui.bEINTRAGEN, ui.bRESET, nullptr, ui.bCFG,
             ui.bNoStart, ui.bAus, ui.bAbbruch, nullptr, ui.sbS1, ui.sbS2, ui.sbS3, ui.bStrafsek6})
        s += !w ? QLatin1Char(' ') : w->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}
} // namespace

// The run on course: the run commands, holds and photocell arming, and its scoring: obstacle
// faults, penalty seconds, time faults and the running total.
class tst_RunControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Settings = TSettings{};
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void buttonsInEachState_data()
    {
        using Keys = QList<int>;
        QTest::addColumn<Keys>("keys");
        QTest::addColumn<QString>("enabled");
        QTest::newRow("ready") << Keys{} << "110000 1100 0000";
        QTest::newRow("countdown") << Keys{Qt::Key_F4} << "110000 0011 0000";
        QTest::newRow("running") << Keys{Qt::Key_F4, Qt::Key_F5} << "001100 0011 1100";
        QTest::newRow("held") << Keys{Qt::Key_F5, Qt::Key_F7} << "000100 0011 1011";
        QTest::newRow("stopped") << Keys{Qt::Key_F5, Qt::Key_F9} << "000010 0011 0001";
    }

    void buttonsInEachState()
    {
        QFETCH(QList<int>, keys);
        MainWindowFixture f;
        for (int k : keys)
            f.key(k);
        QTEST(enabledFlags(f.ui), "enabled");
        // The menu commands, and so their shortcuts, follow their buttons.
        const QList<QPair<QWidget *, QAction *>> pairs = {
            {f.ui.bTimer, f.ui.mTimer},     {f.ui.bSTART, f.ui.mStart},
            {f.ui.bSTOP, f.ui.mStop},       {f.ui.bEINTRAGEN, f.ui.mEintragen},
            {f.ui.bAbbruch, f.ui.mAbbruch}, {f.ui.bRESET, f.ui.mReset},
            {f.ui.bCFG, f.ui.Cfg1}};
        for (const auto &[button, action] : pairs)
            QVERIFY2(button->isEnabled() == action->isEnabled(), qPrintable(action->objectName()));
    }

    // Without a countdown TIMER counts up; with one it counts down. START counts up from zero.
    void timerThenStart()
    {
        for (const auto &[timer, ready, afterTimer] :
             {std::tuple{0, "000,00", "002,50"}, {8, "008,00", "005,50"}}) {
            Settings.Timer = timer;
            MainWindowFixture f;
            QCOMPARE(f.ui.bTimer->isHidden(), timer == 0);
            QCOMPARE(f.shown(), ready);
            f.key(Qt::Key_F4); // works even while the button is hidden
            f.tick(2500);
            QCOMPARE(f.shown(), afterTimer);
            f.key(Qt::Key_F5);
            QCOMPARE(f.hooks.runTotals, 1);
            f.tick(300);
            QCOMPARE(f.shown(), QStringLiteral("000,30"));
        }
    }

    void countdownStopsRestartsAndRunsOut()
    {
        Settings.Timer = 45;
        MainWindowFixture f;
        f.key(Qt::Key_F4);
        // A held F4 sends auto-repeated presses; they must not toggle the countdown back and forth.
        for (int i = 0; i < 3; ++i)
            x11Key(f.window.get(), Qt::Key_F4, Qt::NoModifier, QString(), true);
        f.tick(5000);
        QCOMPARE(f.shown(), QStringLiteral("040,00"));
        x11Key(f.window.get(), Qt::Key_F4, Qt::NoModifier);
        QVERIFY(!f.ui.Clock->isActive()); // a fresh press stops the countdown: frozen
        f.ticks.advance(7000);
        QCOMPARE(f.shown(), QStringLiteral("040,00"));

        f.key(Qt::Key_F4); // starts again from the full length; run out, the run starts by itself
        for (const auto &[ms, expected] :
             {std::pair{35000u, "010,00"}, {10000u, "000,00"}, {10u, "000,01"}}) {
            f.tick(ms);
            QCOMPARE(f.shown(), QLatin1String(expected));
        }
        QVERIFY(f.ui.bSTOP->isEnabled());
    }

    // Each command announces the run once, and the state's time base gives what the clock shows,
    // then and later.
    // Each command announces each kind of change at most once; the state's clock is the clock.
    void commandsWriteTheState_data()
    {
        using K = QList<int>;
        const int F4 = Qt::Key_F4, F5 = Qt::Key_F5, F7 = Qt::Key_F7, F9 = Qt::Key_F9;
        const int enter = (Qt::CTRL | Qt::Key_V).toCombined();
        QTest::addColumn<int>("timer");
        QTest::addColumn<K>("before");
        QTest::addColumn<int>("command"); // 0: deleting the entered row
        QTest::addColumn<K>("announced"); // titles, starter, run, results
        QTest::addColumn<RunPhase>("phase");
        const K run{0, 0, 1, 0}, results{0, 0, 1, 1};
        QTest::newRow("TIMER") << 45 << K{} << F4 << run << RunPhase::Countdown;
        QTest::newRow("TIMER, no countdown") << 0 << K{} << F4 << run << RunPhase::Countdown;
        QTest::newRow("TIMER again: stands") << 45 << K{F4} << F4 << run << RunPhase::Countdown;
        QTest::newRow("START after TIMER") << 45 << K{F4} << F5 << run << RunPhase::Running;
        QTest::newRow("HOLD") << 0 << K{F5} << F7 << run << RunPhase::Held;
        QTest::newRow("CONTINUE") << 0 << K{F5, F7} << F7 << run << RunPhase::Running;
        QTest::newRow("STOP") << 0 << K{F5, F7, F7} << F9 << run << RunPhase::Stopped;
        QTest::newRow("EINTRAGEN") << 0 << K{F5, F9} << enter << results << RunPhase::Entered;
        QTest::newRow("ABBRUCH") << 0 << K{F5} << (Qt::CTRL | Qt::Key_X).toCombined() << results
                                 << RunPhase::Aborted;
        QTest::newRow("NEXT") << 0 << K{F5, F9, enter} << (Qt::CTRL | Qt::Key_N).toCombined()
                              << K{0, 1, 1, 1} << RunPhase::Idle;
        QTest::newRow("deleting a row")
            << 0 << K{F5, F9, enter} << 0 << K{0, 0, 0, 1} << RunPhase::Entered;
    }

    void commandsWriteTheState()
    {
        QFETCH(int, timer);
        QFETCH(QList<int>, before);
        QFETCH(int, command);
        Settings.Timer = timer;
        MainWindowFixture f(false);
        LiveState &live = f.window->live();
        const auto press = [&](int k) {
            const QKeyCombination c = QKeyCombination::fromCombined(k);
            f.key(c.key(), c.keyboardModifiers());
        };
        // Time passes; the clock refreshes only while it runs, as its timer does.
        const auto wait = [&](quint32 ms) {
            f.ticks.advance(ms);
            if (f.ui.Clock->isActive())
                f.window->clock().ClockTimer();
        };
        f.ui.cbStNr->setEditText(QStringLiteral("5"));
        for (int k : before)
            wait(1234), press(k);
        wait(2345);
        const quint64 revision = live.snapshot()->protocolRevision;
        QSignalSpy titles(&live, &LiveState::titlesChanged),
            starter(&live, &LiveState::starterChanged), run(&live, &LiveState::runChanged),
            results(&live, &LiveState::resultsChanged);
        f.boxes.answers = {true};
        command ? press(command) : f.ui.Strokadelete->trigger();
        QTEST((QList<int>{int(titles.size()), int(starter.size()), int(run.size()),
                          int(results.size())}),
              "announced");
        const std::shared_ptr<const LiveSnapshot> now = live.snapshot();
        QTEST(now->run.phase, "phase");
        QCOMPARE(now->protocol, f.ui.SortGrid1->allRowTexts());
        const int row = f.ui.SortGrid1->currentGridRow();
        if (results.size() && run.size() && now->run.phase != RunPhase::Idle) {
            QCOMPARE(QStringList(now->result.row) << now->result.rank,
                     QStringList(f.ui.SortGrid1->rowTexts(row)) << f.cell(ColRank, row));
            QCOMPARE(now->protocolRevision, revision + 1);
        } else if (now->run.phase == RunPhase::Idle) {
            QVERIFY(now->result.row.isEmpty() && now->info.isEmpty());
            QCOMPARE(now->scoring.total, LocaleNumbers::fixed2(0));
        }
        // At the clock's first refresh after the command, and a while later.
        for (const quint32 later : {0, 1237}) {
            wait(later);
            QCOMPARE(now->run.shownHundredths(tickNow()), f.shown().remove(u',').toInt());
        }
    }

    // Held by the pause and continue buttons, by HF, and by F7 across the tick counter's wrap.
    void holdsDoNotCount()
    {
        for (const auto &[startTick, holdBy] :
             {std::pair{1000u, "S2 S3"}, {1000u, "HF"}, {0xFFFFF000u, "F7"}}) {
            MainWindowFixture f;
            auto toggleHold = [&](bool hold) {
                if (holdBy == QLatin1String("F7"))
                    f.key(Qt::Key_F7);
                else if (holdBy == QLatin1String("S2 S3"))
                    (hold ? f.ui.sbS2 : f.ui.sbS3)->click();
                else
                    f.click(f.ui.bHF);
            };
            f.ticks.set(startTick);
            f.key(Qt::Key_F5);
            for (const char *atHold : {"010,00", "020,00"}) {
                f.tick(10000);
                toggleHold(true);
                QVERIFY(!f.ui.Clock->isActive() && f.ui.bHF->isDownState());
                f.ticks.advance(5000);
                f.key(Qt::Key_F9); // STOP is unavailable while held
                f.click(f.ui.bSTOP);
                QCOMPARE(f.shown() + '|' + QString::number(Run.RunStopTick),
                         atHold + QString("|0"));
                toggleHold(false);
                QVERIFY(f.ui.Clock->isActive() && !f.ui.bHF->isDownState());
            }
            f.tick(2000);
            f.key(Qt::Key_F9);
            QCOMPARE(f.elapsed(), 22000);
        }
    }

    // The arming of start and finish photocell after each key, as "start finish": START disarms
    // the start only, STOP the finish; the toggles work while running.
    void photocells()
    {
        for (const auto &[autoFrei, expected] :
             {std::pair{true, "10 00 10 11 01 00 01 00"}, {false, "00 10 10 11 01 00 01 00"}}) {
            Settings.AutoFrei = autoFrei; // armed by TIMER, or by hand only
            MainWindowFixture f;
            const QImage unarmed = f.ui.ImageLSstart->pixmap().toImage();
            QStringList armed;
            for (int k : {Qt::Key_F4, Qt::Key_F11, Qt::Key_F4, Qt::Key_F12, Qt::Key_F5, Qt::Key_F12,
                          Qt::Key_F12, Qt::Key_F9}) {
                f.key(k);
                armed << QString::asprintf("%d%d", f.ui.ImageLSstart->tag(),
                                           f.ui.ImageLSstop->tag());
                const auto state = f.window->live().snapshot();
                QCOMPARE(QString::asprintf("%d%d", state->startCellArmed, state->finishCellArmed),
                         armed.last());
                // The picture shows the arming.
                QCOMPARE(f.ui.ImageLSstart->pixmap().toImage() != unarmed,
                         f.ui.ImageLSstart->tag() == 1);
            }
            QCOMPARE(armed.join(u' '), expected);
        }
    }

    void anyMouseButtonActsKeyboardDoesNot()
    {
        MainWindowFixture f;
        for (QWidget *b : {f.ui.bSTART, f.ui.bTimer}) {
            b->setFocus();
            for (int k : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
                QTest::keyClick(b, Qt::Key(k));
        }
        QVERIFY(!f.ui.Clock->isActive());
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            f.click(f.ui.bSTART, button);
            QVERIFY(f.ui.Clock->isActive());
            f.tick(1500);
            f.ui.bSTOP->setFocus();
            QTest::keyClick(f.ui.bSTOP, Qt::Key_Space);
            QVERIFY(f.ui.Clock->isActive());
            f.click(f.ui.bSTOP, button);
            QVERIFY(!f.ui.Clock->isActive());
            QCOMPARE(f.elapsed(), 1500);
            f.window->protocol().bRESETClick(); // NEXT
        }
    }

    void faultCommands_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QString>("after");
        const int ctrl = Qt::ControlModifier;
        const int pad = Qt::ControlModifier | Qt::KeypadModifier;
        // Sent as X11 delivers them: its shortcut map never sees a keypad key as such.
        QTest::newRow("Ctrl+3") << "0" << int(Qt::Key_3) << ctrl << "3";
        QTest::newRow("Ctrl+keypad End, Num Lock off") << "0" << int(Qt::Key_End) << pad << "1";
        QTest::newRow("Ctrl+keypad 5, Num Lock off") << "0" << int(Qt::Key_Clear) << pad << "5";
        QTest::newRow("Ctrl+keypad 2, Num Lock on") << "0" << int(Qt::Key_2) << pad << "2";
        QTest::newRow("Ctrl+keypad +") << "4" << int(Qt::Key_Plus) << pad << "8";
        QTest::newRow("Ctrl+keypad - stops at 0") << "3" << int(Qt::Key_Minus) << pad << "0";
        QTest::newRow("Ctrl+End, not the keypad") << "2" << int(Qt::Key_End) << ctrl << "2";
        QTest::newRow("no upper bound") << "9999" << int(Qt::Key_9) << ctrl << "10008";
    }

    void faultCommands()
    {
        QFETCH(QString, before);
        QFETCH(int, key);
        QFETCH(int, mods);
        QFETCH(QString, after);
        MainWindowFixture f(false);
        f.key(Qt::Key_F5);
        f.ui.eHindPkt->setText(before);
        f.ui.eHindPkt->setFocus(); // the commands act from an edit field too
        x11Key(f.window.get(), key, Qt::KeyboardModifiers(mods));
        QCOMPARE(f.ui.eHindPkt->text() + '|' + f.info(), after + "|Punkte:" + after + ",00");
        QCOMPARE(f.ui.bMinus4->isEnabled(), after.toInt() >= 4);
    }

    void faultEntry()
    {
        MainWindowFixture f(false);
        f.key(Qt::Key_3, Qt::ControlModifier); // closed before START
        f.key(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(f.ui.eHindPkt->text(), QStringLiteral("0"));
        f.key(Qt::Key_F5);
        f.ui.bPlus4->click();
        emit f.ui.cbPlus->activated(4); // "+8"
        f.ui.bMinus4->click();
        QCOMPARE(f.ui.eHindPkt->text(), QStringLiteral("7"));

        // Typed: only digits pass, no paste, four characters at most.
        f.ui.eHindPkt->setFocus();
        f.ui.eHindPkt->selectAll();
        QTest::keyClicks(f.ui.eHindPkt, QStringLiteral("a1-2x"));
        QTest::keyClick(f.ui.eHindPkt, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.ui.eHindPkt->text() + '|' + f.info(), QStringLiteral("12|Punkte:12,00"));
        // Half typed is the number so far, never a box that takes the keys of the live run.
        QTest::keyClicks(f.ui.eHindPkt, QStringLiteral(",,1"));
        QCOMPARE(f.ui.eHindPkt->text() + '|' + f.info(), QStringLiteral("12,,|Punkte:12,00"));
        f.ui.eHindPkt->clear();
        QCOMPARE(f.info(), QStringLiteral("Punkte:0,00"));
        f.key(Qt::Key_3, Qt::ControlModifier);
        QVERIFY(f.ui.eHindPkt->text() == QStringLiteral("3") && f.boxes.messages.isEmpty());

        f.ui.eHindPkt->setText(QStringLiteral("7"));
        f.key(Qt::Key_F9);
        f.key(Qt::Key_V, Qt::ControlModifier);
        f.key(Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(f.ui.eHindPkt->text(), QStringLiteral("7")); // entered: closed again
    }

    // Time faults at 60,00, 60,01 and 61,01 s of 60 s allowed, and the points with 4 obstacle
    // faults; procedure C has none.
    void timeFaultsGrowLive()
    {
        for (const bool procedureC : {false, true}) {
            MainWindowFixture f(false);
            (procedureC ? f.ui.rbModeC : f.ui.rbModeA)->setChecked(true);
            QCOMPARE(f.ui.ePktSek->isHidden(), procedureC);
            f.ui.seELZmain->setValue(60);
            QCOMPARE(f.window->live().snapshot()->competition.allowedSeconds, 60);
            f.key(Qt::Key_F5);
            QVERIFY(!f.ui.rbModeA->isEnabled() && !f.ui.seELZmain->isEnabled());
            QStringList seen;
            for (int ms : {60000, 10, 1000}) {
                f.tick(ms);
                seen << f.ui.ePktSek->text();
            }
            QCOMPARE(seen.join(u' '), procedureC ? "0,00 0,00 0,00" : "0,00 0,25 0,50");
            f.ui.eHindPkt->setText(QStringLiteral("4"));
            QCOMPARE(f.info(), procedureC ? "Punkte:4,00" : "Punkte:4,50");
            f.tick(5);
            f.key(Qt::Key_F9);
            QCOMPARE(f.ui.ePktSek->text(), seen.last()); // 61,015 s: the last value stands
        }
    }

    void freePenaltyEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("then"); // "+", "-", or a step's key or button
        QTest::addColumn<int>("penalty");
        QTest::addColumn<QString>("timeFaults"); // 58 s ridden, 60 s allowed
        const auto row = [](const char *name, const char *typed, const char *then, int penalty,
                            const char *timeFaults) {
            QTest::newRow(name) << QString(typed) << QString(then) << penalty
                                << QString(timeFaults);
        };
        row("+4, then 6 and +", "6", "+", 10, "2,00");
        row("+4, then 6 and - stops at 0", "6", "-", 0, "0,00");
        row("+4, then 3 and -", "3", "-", 1, "0,00");
        row("not a whole number", "2,5", "+", 4, "0,50");
        // A step drops the number typed but not added, then adds itself.
        row("+4, then 6 and F6", "6", "F6", 10, "2,00");
        row("+4, then 9 and the +8 button", "9", "+8", 12, "2,50");
    }

    void freePenaltyEntry()
    {
        QFETCH(QString, typed);
        QFETCH(QString, then);
        QFETCH(int, penalty);
        MainWindowFixture f(false);
        f.ui.seELZmain->setValue(60);
        f.run(58000);
        f.ui.bStrafsek4->click();
        QCOMPARE(f.ui.ePktSek->text(), QStringLiteral("0,50")); // 62,00 s
        QVERIFY(f.ui.LabelRavno->isVisible() && !f.ui.bStrafPlus->isEnabled());
        f.ui.eStrafPkt->setFocus();
        QTest::keyClicks(f.ui.eStrafPkt, typed);
        QVERIFY(!f.ui.LabelRavno->isVisible() && f.ui.bStrafPlus->isEnabled());
        QCOMPARE(f.ui.eStrafPkt->text(), typed); // the first key replaced the old value
        if (then == QLatin1String("F6"))
            x11Key(f.window.get(), Qt::Key_F6, Qt::NoModifier);
        else if (then == QLatin1String("+8"))
            f.ui.bStrafsek8->click();
        else
            (then == QLatin1String("+") ? f.ui.bStrafPlus : f.ui.bStrafMinus)->click();
        QCOMPARE(f.ui.eStrafPkt->text(), QString::number(penalty));
        QVERIFY(f.ui.LabelRavno->isVisible() && !f.ui.bStrafMinus->isEnabled());
        // The clock holds the 58 s ridden plus the penalty seconds; the time faults follow, and
        // the entered row keeps the ride.
        QCOMPARE(f.elapsed(), 58000 + penalty * 1000);
        QTEST(f.ui.ePktSek->text(), "timeFaults");
        QCOMPARE(f.info(), "Punkte:" + f.ui.ePktSek->text());
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.cell(ColRideTime, 1), QStringLiteral("58,00"));
    }

    // The penalty seconds: closed while the clock runs, open while held and stopped.
    void penaltyKeys()
    {
        MainWindowFixture f(false);
        f.key(Qt::Key_F5);
        f.tick(20000);
        f.key(Qt::Key_F6);
        QCOMPARE(f.ui.eStrafPkt->text(), QStringLiteral("0")); // running: closed
        f.key(Qt::Key_F7);
        f.ticks.advance(5000); // held: does not count
        f.ui.bStrafsek6->click();
        QCOMPARE(f.shown(), QStringLiteral("026,00"));
        f.ui.eStrafPkt->setFocus();
        QTest::keyClicks(f.ui.eStrafPkt, QStringLiteral("9"));
        f.key(Qt::Key_F7); // continue: the entry closes without "+" or "-"
        QCOMPARE(f.ui.eStrafPkt->text(), QStringLiteral("6"));
        QVERIFY(!f.ui.bStrafPlus->isEnabled() && f.ui.LabelRavno->isVisible());
        f.tick(1000);
        QCOMPARE(f.shown(), QStringLiteral("027,00"));

        f.key(Qt::Key_F9);
        f.key(Qt::Key_F8);
        for (int i = 0; i < 3; ++i) // the key's auto-repeat
            x11Key(f.window.get(), Qt::Key_F8, Qt::NoModifier, QString(), true);
        QCOMPARE((QStringList{f.ui.eStrafPkt->text(), QString::number(f.elapsed()), f.shown()}),
                 (QStringList{"14", "35000", "035,00"}));
        // Entered while a number is typed but not added: the row holds what the clock holds.
        f.ui.eStrafPkt->setFocus();
        QTest::keyClicks(f.ui.eStrafPkt, QStringLiteral("9"));
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.cell(ColPenalty, 1) + '|' + f.cell(ColRideTime, 1), QStringLiteral("14|21,00"));
        f.key(Qt::Key_F10);
        QCOMPARE(f.ui.eStrafPkt->text(), QStringLiteral("14")); // entered: closed again
    }
};

QTEST_MAIN(tst_RunControl)
#include "tst_runcontrol.moc"
