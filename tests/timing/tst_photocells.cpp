#include "MainWindowFixture.h"

#include "PhotocellRules.h"
#include "Photocells.h"

namespace {

// Waits, without moving the fake clock, until the port's wait thread has read the tick of
// the edge; the GUI thread has not served the edge yet.
bool edgeStamped(const FakeTickSource &ticks, int readsBefore)
{
    QDeadlineTimer guard(5000);
    while (ticks.readsOffGuiThread() == readsBefore)
        if (guard.hasExpired())
            return false;
    return true;
}

QStringList entries(const QComboBox *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i).left(3); // the kind; the rest is the time of day
    return texts;
}

} // namespace

class tst_Photocells : public QObject
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
        QTest::newRow("start closes, opens, repeats")
            << I{1, 0, 0, 0, 0} << S{dsr, 0, 0, dsr} << "1 - - 1";
        QTest::newRow("same status twice") << I{1, 0, 0, 0, 0} << S{dsr, dsr} << "1 -";
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

    void timeText()
    {
        // Blanks of the time of day become zeros; thousandths are cut.
        QCOMPARE(PhotocellEntry(1, QTime(9, 5, 7, 34)), QStringLiteral("1. 9:05.07,03"));
        QCOMPARE(PhotocellEntry(2, QTime(23, 59, 59, 999)), QStringLiteral("2. 23:59.59,99"));
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
        edge(f.ports.com1, 0);
        edge(f.ports.com1, ModemLine::DSR); // within the lock-out: logged only
        QVERIFY(f.ui.bSTOP->isEnabled());

        f.window->photocells().TimerGesperrtTimer(); // the lock-out is over
        edge(f.ports.com1, 0);
        edge(f.ports.com1, ModemLine::DSR);
        QVERIFY(!f.ui.bSTOP->isEnabled() && f.ui.ImageLSstop->tag() == 0);
        QCOMPARE(entries(f.ui.cbRezervLS).size(), 3);

        // After the lock-out, without F12, an edge is only logged.
        f.window->photocells().TimerGesperrtTimer();
        f.window->protocol().bRESETClick();
        QVERIFY(f.ui.cbRezervLS->count() == 0 && !f.ui.cbRezervLS->isEnabled());
        f.key(Qt::Key_F5);
        edge(f.ports.com1, 0);
        edge(f.ports.com1, ModemLine::DSR);
        QVERIFY(f.ui.bSTOP->isEnabled() && f.ui.cbRezervLS->isEnabled());
        QCOMPARE(entries(f.ui.cbRezervLS), QStringList{"1. "});
    }

    void edgesStartAndFinish_data()
    {
        QTest::addColumn<bool>("normallyClosed"); // "OFF": the contact opens as the beam breaks
        QTest::newRow("ON") << false;
        QTest::newRow("OFF") << true;
    }

    void edgesStartAndFinish()
    {
        QFETCH(bool, normallyClosed);
        Settings.Port1 = 1;
        Settings.Alg1 = normallyClosed;
        Settings.Port2 = 2;
        Settings.Kont2 = 1;
        const quint32 rest = normallyClosed ? ModemLine::DSR : 0, broken = ModemLine::DSR ^ rest;
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
        int reads = f.ticks.readsOffGuiThread();
        f.ports.com1.setLines(broken);
        QVERIFY(edgeStamped(f.ticks, reads));
        f.ticks.advance(50); // the GUI thread is busy before it gets to the edge
        QTRY_VERIFY(f.ui.bSTOP->isEnabled() && !f.ui.bSTART->isEnabled());
        QCOMPARE(Run.RunStartTick, startEdge);
        QVERIFY(f.ui.cbRezervLS->currentIndex() == 0 && f.ui.cbRezervLS->isEnabled());
        edge(f.ports.com1, rest); // the beam is whole again: no edge of this contact
        f.key(Qt::Key_F11); // arming again while running changes nothing: START is unavailable
        edge(f.ports.com1, broken);
        QCOMPARE(entries(f.ui.cbRezervLS), (QStringList{"1. ", "1. "}));

        f.tick(61'230);
        f.window->photocells().TimerGesperrtTimer(); // the lock-out after the start is over
        f.key(Qt::Key_F12);
        const quint32 finishEdge = f.ticks.now();
        reads = f.ticks.readsOffGuiThread();
        f.ports.com2.setLines(ModemLine::CTS);
        QVERIFY(edgeStamped(f.ticks, reads));
        f.ticks.advance(50);
        QTRY_VERIFY(!f.ui.bSTOP->isEnabled());
        QCOMPARE(Run.RunStopTick, finishEdge);
        QCOMPARE(f.elapsed(), 61'280); // from edge to edge; the 50 ms after the finish do not count
        QCOMPARE(f.shown(), QStringLiteral("061,28"));
        QCOMPARE(entries(f.ui.cbRezervLS).last(), QStringLiteral("2. "));

        // Keys still stamp when they are handled.
        f.window->photocells().TimerGesperrtTimer();
        f.window->protocol().bRESETClick();
        f.ticks.advance(7);
        f.key(Qt::Key_F5);
        QCOMPARE(Run.RunStartTick, f.ticks.now());
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
        QCOMPARE(f.ports.com1.failedWaits.load(), 3);
        QVERIFY(f.ui.ImageLSstart->isHidden() && f.ui.cbRezervLS->isHidden());
    }

private:
    // Sets the lines and waits until the window has handled the change.
    void edge(FakeSerialDevice &device, quint32 lines)
    {
        const int waits = device.waits;
        device.setLines(lines);
        QTRY_VERIFY(device.waits > waits);
    }
};

QTEST_MAIN(tst_Photocells)
#include "tst_photocells.moc"
