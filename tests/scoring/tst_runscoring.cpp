#include "MainWindowFixture.h"

#include "RunScoring.h"

// Obstacle faults, penalty seconds, time faults and the running total of the run on course.
class tst_RunScoring : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Settings = TSettings{};
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void faultCommands_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QString>("after");
        const int ctrl = Qt::ControlModifier;
        const int pad = Qt::ControlModifier | Qt::KeypadModifier;
        QTest::newRow("Ctrl+3") << "0" << int(Qt::Key_3) << ctrl << "3";
        QTest::newRow("Ctrl+keypad Home, Num Lock off") << "0" << int(Qt::Key_Home) << pad << "7";
        QTest::newRow("Ctrl+keypad +") << "4" << int(Qt::Key_Plus) << pad << "8";
        QTest::newRow("Ctrl+keypad - stops at 0") << "3" << int(Qt::Key_Minus) << pad << "0";
        QTest::newRow("no upper bound") << "9999" << int(Qt::Key_9) << ctrl << "10008";
    }

    void faultCommands()
    {
        QFETCH(QString, before);
        QFETCH(int, key);
        QFETCH(int, mods);
        QFETCH(QString, after);
        MainWindowFixture f(true, false);
        f.key(Qt::Key_F5);
        f.ui.eHindPkt->setText(before);
        f.ui.eHindPkt->setFocus(); // the commands act from an edit field too
        f.key(key, Qt::KeyboardModifiers(mods));
        QCOMPARE(f.ui.eHindPkt->text(), after);
        QCOMPARE(InfoText, QStringLiteral("Punkte:%1,00").arg(after));
        QCOMPARE(f.ui.bMinus4->isEnabled(), after.toInt() >= 4);
    }

    void faultEntry()
    {
        MainWindowFixture f(true, false);
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
        QCOMPARE(f.ui.eHindPkt->text(), QStringLiteral("12"));
        QVERIFY(InfoText == QStringLiteral("Punkte:12,00") && f.boxes.messages.isEmpty());
        QTest::keyClicks(f.ui.eHindPkt, QStringLiteral(",,"));
        QCOMPARE(f.boxes.messages.size(), 1); // "12,," is no number: the total says so
        QTest::keyClicks(f.ui.eHindPkt, QStringLiteral("1"));
        QCOMPARE(f.ui.eHindPkt->text(), QStringLiteral("12,,"));
        QCOMPARE(InfoText, QStringLiteral("Punkte:12,00"));

        f.ui.eHindPkt->setText(QStringLiteral("7"));
        f.key(Qt::Key_F9);
        f.key(Qt::Key_V, Qt::ControlModifier);
        f.key(Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(f.ui.eHindPkt->text(), QStringLiteral("7")); // entered: closed again
    }

    void timeFaultsGrowLive_data()
    {
        QTest::addColumn<bool>("procedureC");
        QTest::addColumn<QStringList>("faults"); // at 60,00, 60,01 and 61,01 s
        QTest::addColumn<QString>("total");      // with 4 obstacle faults
        QTest::newRow("A") << false << QStringList{"0,00", "0,25", "0,50"} << "Punkte:4,50";
        QTest::newRow("C: none") << true << QStringList{"0,00", "0,00", "0,00"} << "Punkte:4,00";
    }

    void timeFaultsGrowLive()
    {
        QFETCH(bool, procedureC);
        QFETCH(QStringList, faults);
        MainWindowFixture f(true, false);
        (procedureC ? f.ui.rbModeC : f.ui.rbModeA)->setChecked(true);
        QCOMPARE(f.ui.ePktSek->isHidden(), procedureC);
        f.ui.seELZmain->setValue(60);
        f.key(Qt::Key_F5);
        QVERIFY(!f.ui.rbModeA->isEnabled() && !f.ui.seELZmain->isEnabled());
        QStringList seen;
        for (int ms : {60000, 10, 1000}) {
            f.tick(ms);
            seen << f.ui.ePktSek->text();
        }
        QCOMPARE(seen, faults);
        f.ui.eHindPkt->setText(QStringLiteral("4"));
        QTEST(InfoText, "total");
        f.tick(5);
        f.key(Qt::Key_F9);
        QCOMPARE(f.ui.ePktSek->text(), faults.last()); // 61,015 s: the last value stands
    }

    void penaltyKeysActOnceWhileStopped()
    {
        MainWindowFixture f(true, false);
        f.key(Qt::Key_F5);
        f.tick(30000);
        f.key(Qt::Key_F6);
        QCOMPARE(f.ui.eStrafPkt->text(), QStringLiteral("0")); // running: closed
        f.key(Qt::Key_F9);
        f.key(Qt::Key_F8);
        for (int i = 0; i < 3; ++i) // the key's auto-repeat
            qt_sendShortcutOverrideEvent(f.window.get(), 0, Qt::Key_F8, Qt::NoModifier, QString(),
                                         true);
        QCOMPARE(f.ui.eStrafPkt->text(), QStringLiteral("8"));
        QCOMPARE(f.elapsed(), 38000);
        QCOMPARE(f.shown(), QStringLiteral("038,00"));
        f.key(Qt::Key_V, Qt::ControlModifier);
        f.key(Qt::Key_F10);
        QCOMPARE(f.ui.eStrafPkt->text(), QStringLiteral("8")); // entered: closed again
    }

    void freePenaltyEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("plus");
        QTest::addColumn<int>("penalty");
        QTest::addColumn<QString>("timeFaults"); // 58 s ridden, 60 s allowed
        QTest::newRow("+4, then 6 and +") << "6" << true << 10 << "2,00";
        QTest::newRow("+4, then 6 and - stops at 0") << "6" << false << 0 << "0,00";
        QTest::newRow("+4, then 3 and -") << "3" << false << 1 << "0,00";
        QTest::newRow("not a whole number") << "2,5" << true << 4 << "0,50";
    }

    void freePenaltyEntry()
    {
        QFETCH(QString, typed);
        QFETCH(bool, plus);
        QFETCH(int, penalty);
        MainWindowFixture f(true, false);
        f.ui.seELZmain->setValue(60);
        f.run(58000);
        f.ui.bStrafsek4->click();
        QCOMPARE(f.ui.ePktSek->text(), QStringLiteral("0,50")); // 62,00 s
        QVERIFY(f.ui.LabelRavno->isVisible() && !f.ui.bStrafPlus->isEnabled());
        f.ui.eStrafPkt->setFocus();
        QTest::keyClicks(f.ui.eStrafPkt, typed);
        QVERIFY(!f.ui.LabelRavno->isVisible() && f.ui.bStrafPlus->isEnabled());
        QCOMPARE(f.ui.eStrafPkt->text(), typed); // the first key replaced the old value
        (plus ? f.ui.bStrafPlus : f.ui.bStrafMinus)->click();
        QCOMPARE(f.ui.eStrafPkt->text(), QString::number(penalty));
        QVERIFY(f.ui.LabelRavno->isVisible() && !f.ui.bStrafMinus->isEnabled());
        // The clock holds the 58 s ridden plus the penalty seconds; the time faults follow.
        QCOMPARE(f.elapsed(), 58000 + penalty * 1000);
        QTEST(f.ui.ePktSek->text(), "timeFaults");
        QCOMPARE(InfoText, QStringLiteral("Punkte:%1").arg(f.ui.ePktSek->text()));
    }

    void penaltyWhileHeld()
    {
        MainWindowFixture f(true, false);
        f.key(Qt::Key_F5);
        f.tick(20000);
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

        // Entered while a number is typed but not added: the row holds what the clock holds.
        f.key(Qt::Key_F9);
        f.ui.eStrafPkt->setFocus();
        QTest::keyClicks(f.ui.eStrafPkt, QStringLiteral("9"));
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.ui.SortGrid1->cells(ColPenalty, 1), QStringLiteral("6"));
        QCOMPARE(f.ui.SortGrid1->cells(ColRideTime, 1), QStringLiteral("21,00"));
    }
};

QTEST_MAIN(tst_RunScoring)
#include "tst_runscoring.moc"
