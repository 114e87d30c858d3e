#include "MainWindowFixture.h"

#include "DisplayColors.h"
#include "TBitBtnWithColor.h"
#include "TDigit.h"
#include "TImage.h"
#include "TLbSpeedButton.h"
#include "TOvalButton.h"
#include "TSortGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

namespace {

QString shown(TFormMainUi &ui)
{
    return QStringLiteral("%1%2%3,%4%5")
        .arg(ui.Digit4->value())
        .arg(ui.Digit5->value())
        .arg(ui.Digit6->value())
        .arg(ui.Digit7->value())
        .arg(ui.Digit8->value());
}

// Which run buttons are enabled, as a string "TIMER START STOP HF EINTRAGEN RESET": 1 or 0.
QString enabledRunButtons(TFormMainUi &ui)
{
    QString s;
    for (QWidget *b : std::initializer_list<QWidget *>{ui.bTimer, ui.bSTART, ui.bSTOP, ui.bHF,
                                                       ui.bEINTRAGEN, ui.bRESET})
        s += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

void pressMouse(QWidget *w, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(w, button, Qt::NoModifier, w->rect().center());
    QTest::mouseRelease(w, button, Qt::NoModifier, w->rect().center());
}

} // namespace

class tst_RunControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Settings = TSettings{}; }

    // ---- States and transitions
    void startUpHidesDigitsUntilReveal();
    void readyState();
    void commandsFollowTheirButtons();
    void timerThreeTimes();
    void startDuringCountdown();
    void twoHoldsDoNotCount();
    void stopUnavailableWhileHeld();
    void commandsAfterStopDoNothing();
    void timerWithoutCountdown();
    void autoFreiArmsOnEveryTimerPress_data();
    void autoFreiArmsOnEveryTimerPress();
    void photocellToggles();
    void anyMouseButtonActsKeyboardDoesNot_data();
    void anyMouseButtonActsKeyboardDoesNot();
    void heldKeyActsOnce();
    void pauseAndContinueButtons();

    // ---- Clock arithmetic and colours
    void tickCounterWrap();
    void allowedTimeBoundary();
    void shortCountdownIsRedAtOnce();
    void countdownExpiryStartsRun();
    void countdownExpiryEliminates();
    void fractionDigits_data();
    void fractionDigits();

    // ---- Cues and panels
    void soundCues();
    void soundOff();
    void datePanel();
};

void tst_RunControl::startUpHidesDigitsUntilReveal()
{
    MainWindowFixture f(false);
    TFormMainUi &ui = f.ui();
    QVERIFY(ui.Digit4->isHidden());
    QVERIFY(ui.Digit8->isHidden());
    QVERIFY(!ui.Image1->isHidden());
    QCOMPARE(enabledRunButtons(ui), QStringLiteral("000000"));
    QVERIFY(!ui.cbKNr->isEnabled());
    QVERIFY(ui.TimerDate->isActive());
    QVERIFY(!ui.Clock->isActive());
    QCOMPARE(shown(ui), QStringLiteral("060,00"));

    // The date timer's tick starts the slide; the banner moves one pixel per step.
    const int top = ui.Image1->y();
    f.window->clock().TimerDateTimer();
    QVERIFY(f.window->clock().revealing());
    QVERIFY(!ui.TimerDate->isActive());
    f.window->clock().revealStep();
    QCOMPARE(ui.Image1->y(), top + 1);
    QVERIFY(ui.Digit4->isHidden());

    // A click on the banner ends the slide at once.
    QTest::mouseClick(ui.Image1, Qt::LeftButton);
    QVERIFY(!f.window->clock().revealing());
    QVERIFY(ui.Image1->isHidden());
    QVERIFY(!ui.Digit4->isHidden());
    QVERIFY(ui.TimerDate->isActive());
    QCOMPARE(enabledRunButtons(ui), QStringLiteral("110000"));
}

void tst_RunControl::readyState()
{
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    QVERIFY(f.window->windowTitle().startsWith(QStringLiteral("Rittmeter / Derizudaroza ")));
    QVERIFY(f.window->width() >= 800 && f.window->height() >= 445);
    QCOMPARE(enabledRunButtons(ui), QStringLiteral("110000"));
    QCOMPARE(ui.bTimer->color(), Colors::clYellow);
    QCOMPARE(ui.bTimer->fontColor(), Colors::clBlack);
    QCOMPARE(ui.bSTART->color(), Colors::clGreen);
    QVERIFY(ui.bCFG->isEnabled());
    QVERIFY(ui.bNoStart->isEnabled());
    QCOMPARE(ui.bNoStart->color(), Colors::clMaroon);
    QVERIFY(!ui.bAus->isEnabled());
    QVERIFY(!ui.Clock->isActive());
    QVERIFY(ui.cbKNr->isEnabled());
    QCOMPARE(ui.ImageLSstart->tag(), 0);
    QCOMPARE(ui.ImageLSstop->tag(), 0);
    QCOMPARE(ui.seELZmain->value(), 120);
    QCOMPARE(ui.SortGrid1->gridRowCount(), 2);
    for (const char *name : {"Panel1", "Panel7", "Panel2", "Panel3", "SortGrid1", "StatusBar1",
                             "PanelTimer", "cbRezervLS", "bAbbruch", "eHindPkt", "ePktSek"})
        QVERIFY2(f.window->findChild<QObject *>(QString::fromLatin1(name)), name);
}

void tst_RunControl::commandsFollowTheirButtons()
{
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    const QList<QPair<QWidget *, QAction *>> pairs = {
        {ui.bTimer, ui.mTimer},     {ui.bSTART, ui.mStart},
        {ui.bSTOP, ui.mStop},       {ui.bEINTRAGEN, ui.mEintragen},
        {ui.bAbbruch, ui.mAbbruch}, {ui.bRESET, ui.mReset},
        {ui.bCFG, ui.Cfg1}};
    auto check = [&] {
        for (const auto &[button, action] : pairs)
            QVERIFY2(button->isEnabled() == action->isEnabled(), qPrintable(action->objectName()));
    };
    check();
    f.key(Qt::Key_F4);
    check();
    f.key(Qt::Key_F5);
    check();
    f.key(Qt::Key_F9);
    check();
}

void tst_RunControl::timerThreeTimes()
{
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();

    f.key(Qt::Key_F4);
    QVERIFY(ui.Clock->isActive());
    QVERIFY(Run.CountdownActive);
    QCOMPARE(ui.bTimer->fontColor(), Colors::clBlack);
    QCOMPARE(enabledRunButtons(ui), QStringLiteral("110000"));
    QVERIFY(!ui.bCFG->isEnabled());
    QVERIFY(ui.bAbbruch->isEnabled());
    QVERIFY(!ui.bNoStart->isEnabled());
    QVERIFY(ui.bAus->isEnabled());
    QCOMPARE(ui.bAus->color(), Colors::clMaroon);
    QCOMPARE(Run.ColorState, quint8(ColorReady));
    f.tick(5000);
    QCOMPARE(shown(ui), QStringLiteral("055,00"));

    f.key(Qt::Key_F4); // stops the countdown: frozen, caption red
    QVERIFY(!ui.Clock->isActive());
    QCOMPARE(ui.bTimer->fontColor(), Colors::clRed);
    QCOMPARE(Run.RunHoldTick, f.ticks.now());
    f.ticks.advance(7000);
    QCOMPARE(shown(ui), QStringLiteral("055,00"));
    QCOMPARE(enabledRunButtons(ui), QStringLiteral("110000"));

    f.key(Qt::Key_F4); // starts again from the full length
    QVERIFY(ui.Clock->isActive());
    QCOMPARE(ui.bTimer->fontColor(), Colors::clBlack);
    f.tick(1000);
    QCOMPARE(shown(ui), QStringLiteral("059,00"));
}

void tst_RunControl::startDuringCountdown()
{
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    f.key(Qt::Key_F4);
    f.tick(3000);
    f.key(Qt::Key_F5);
    QVERIFY(!Run.CountdownActive);
    QCOMPARE(Run.RunStartTick, f.ticks.now());
    QCOMPARE(Run.RunHoldTick, 0u);
    QCOMPARE(Run.ColorState, quint8(ColorRunning));
    QCOMPARE(enabledRunButtons(ui), QStringLiteral("001100"));
    QCOMPARE(ui.bSTOP->color(), Colors::clRed);
    QCOMPARE(ui.bSTART->color(), Colors::clBtnFace);
    QCOMPARE(ui.bTimer->color(), Colors::clBtnFace);
    QVERIFY(!ui.seELZmain->isEnabled());
    QVERIFY(ui.eHindPkt->isEnabled());
    QVERIFY(!ui.rbModeA->isEnabled());
    QVERIFY(ui.sbS1->isEnabled() && ui.sbS2->isEnabled());
    QCOMPARE(ui.ImageLSstart->tag(), 0); // START disarms the start photocell
    QCOMPARE(f.hooks.runTotals, 1);
    f.tick(0);
    QCOMPARE(shown(ui), QStringLiteral("000,00"));
    f.tick(1239);
    QCOMPARE(shown(ui), QStringLiteral("001,23"));
}

void tst_RunControl::twoHoldsDoNotCount()
{
    MainWindowFixture f;
    const quint32 start = f.ticks.now();
    f.key(Qt::Key_F5);
    for (int i = 0; i < 2; ++i) {
        f.tick(10000);
        f.key(Qt::Key_F7);
        f.ticks.advance(5000);
        f.key(Qt::Key_F7);
    }
    f.tick(2000);
    f.key(Qt::Key_F9);
    const quint32 wall = f.ticks.now() - start;
    QCOMPARE(wall, 32000u);
    QCOMPARE(f.elapsed(), 22000);
    QCOMPARE(shown(f.ui()), QStringLiteral("022,00"));
    QCOMPARE(enabledRunButtons(f.ui()), QStringLiteral("000010"));
}

void tst_RunControl::stopUnavailableWhileHeld()
{
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    f.key(Qt::Key_F5);
    f.tick(4000);
    f.key(Qt::Key_F7);
    QVERIFY(!ui.Clock->isActive());
    QVERIFY(ui.bHF->isDownState());
    QVERIFY(!ui.bSTOP->isEnabled());
    QVERIFY(!ui.mStop->isEnabled());
    QVERIFY(ui.bStrafsek6->isEnabled() && ui.eStrafPkt->isEnabled());
    QVERIFY(!ui.sbS2->isEnabled() && ui.sbS3->isEnabled());
    QCOMPARE(shown(ui), QStringLiteral("004,00"));

    f.ticks.advance(3000);
    f.key(Qt::Key_F9);
    pressMouse(ui.bSTOP);
    QVERIFY(!ui.Clock->isActive());
    QCOMPARE(Run.RunStopTick, 0u);

    pressMouse(ui.bHF); // the button continues by itself
    QVERIFY(ui.Clock->isActive());
    QVERIFY(!ui.bHF->isDownState());
    QVERIFY(ui.bSTOP->isEnabled());
    QVERIFY(!ui.bStrafsek6->isEnabled());
    f.tick(1000);
    f.key(Qt::Key_F9);
    QCOMPARE(f.elapsed(), 5000);
}

void tst_RunControl::commandsAfterStopDoNothing()
{
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    f.key(Qt::Key_F5);
    f.tick(7345);
    f.key(Qt::Key_F9);
    const TRunState before = Run;
    QVERIFY(!ui.bHF->isEnabled() && !ui.bHF->isDownState());
    QVERIFY(ui.bEINTRAGEN->isEnabled());
    QCOMPARE(ui.bEINTRAGEN->color(), rgbColor(0, 0x80, 0xFF));
    QVERIFY(ui.seELZmain->isEnabled());
    QCOMPARE(ui.ImageLSstop->tag(), 0);
    QVERIFY(!ui.sbS1->isEnabled() && !ui.sbS2->isEnabled() && !ui.sbS3->isEnabled());
    QVERIFY(ui.bStrafsek4->isEnabled() && ui.bStrafsek10->isEnabled());

    f.ticks.advance(3000);
    for (int k : {Qt::Key_F5, Qt::Key_F7, Qt::Key_F9, Qt::Key_F4})
        f.key(k);
    QVERIFY(!ui.Clock->isActive());
    QCOMPARE(Run.RunStartTick, before.RunStartTick);
    QCOMPARE(Run.RunStopTick, before.RunStopTick);
    QCOMPARE(Run.RunHoldTick, before.RunHoldTick);
    QCOMPARE(shown(ui), QStringLiteral("007,34"));
}

void tst_RunControl::timerWithoutCountdown()
{
    Settings.Timer = 0;
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    QVERIFY(ui.bTimer->isHidden());
    QVERIFY(ui.cbEliminieren->isHidden());
    QCOMPARE(shown(ui), QStringLiteral("000,00"));

    f.key(Qt::Key_F4); // invisible, yet F4 still switches the clock on
    QVERIFY(ui.Clock->isActive());
    QVERIFY(!Run.CountdownActive);
    QVERIFY(ui.bSTART->isEnabled());
    f.tick(2500);
    QCOMPARE(shown(ui), QStringLiteral("002,50"));
    QCOMPARE(Run.ColorState, quint8(ColorRunning));

    f.key(Qt::Key_F5); // START restarts at zero
    f.tick(300);
    QCOMPARE(shown(ui), QStringLiteral("000,30"));
}

void tst_RunControl::autoFreiArmsOnEveryTimerPress_data()
{
    QTest::addColumn<bool>("autoFrei");
    QTest::newRow("on") << true;
    QTest::newRow("off") << false;
}

void tst_RunControl::autoFreiArmsOnEveryTimerPress()
{
    QFETCH(bool, autoFrei);
    Settings.AutoFrei = autoFrei;
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    f.key(Qt::Key_F4);
    QCOMPARE(ui.ImageLSstart->tag(), autoFrei ? 1 : 0);
    f.key(Qt::Key_F11); // the operator disarms by hand
    QCOMPARE(ui.ImageLSstart->tag(), autoFrei ? 0 : 1);
    f.key(Qt::Key_F4); // stopping the countdown arms again
    QCOMPARE(ui.ImageLSstart->tag(), 1);
    QCOMPARE(ui.ImageLSstop->tag(), 0);
}

void tst_RunControl::photocellToggles()
{
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    const QImage unarmed = ui.ImageLSstart->pixmap().toImage();
    f.key(Qt::Key_F11);
    QCOMPARE(ui.ImageLSstart->tag(), 1);
    QVERIFY(ui.ImageLSstart->pixmap().toImage() != unarmed);
    QCOMPARE(ui.ImageLSstop->tag(), 0);
    f.key(Qt::Key_F11);
    QCOMPARE(ui.ImageLSstart->tag(), 0);
    QCOMPARE(ui.ImageLSstart->pixmap().toImage(), unarmed);

    f.key(Qt::Key_F12);
    QCOMPARE(ui.ImageLSstop->tag(), 1);
    QCOMPARE(ui.ImageLSstart->tag(), 0);
    f.key(Qt::Key_F5); // START leaves the finish photocell armed
    QCOMPARE(ui.ImageLSstop->tag(), 1);
    f.key(Qt::Key_F12); // the toggles work in every state
    f.key(Qt::Key_F12);
    QCOMPARE(ui.ImageLSstop->tag(), 1);
    f.key(Qt::Key_F9);
    QCOMPARE(ui.ImageLSstop->tag(), 0);
}

void tst_RunControl::anyMouseButtonActsKeyboardDoesNot_data()
{
    QTest::addColumn<int>("mouseButton");
    QTest::newRow("left") << int(Qt::LeftButton);
    QTest::newRow("right") << int(Qt::RightButton);
    QTest::newRow("middle") << int(Qt::MiddleButton);
}

void tst_RunControl::anyMouseButtonActsKeyboardDoesNot()
{
    QFETCH(int, mouseButton);
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    ui.bSTART->setFocus();
    for (int k : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(ui.bSTART, Qt::Key(k));
    QVERIFY(!ui.Clock->isActive());
    ui.bTimer->setFocus();
    QTest::keyClick(ui.bTimer, Qt::Key_Space);
    QVERIFY(!ui.Clock->isActive());

    pressMouse(ui.bSTART, Qt::MouseButton(mouseButton));
    QVERIFY(ui.Clock->isActive());
    QVERIFY(ui.bSTOP->isEnabled());
    f.tick(1500);
    ui.bSTOP->setFocus();
    QTest::keyClick(ui.bSTOP, Qt::Key_Space);
    QVERIFY(ui.Clock->isActive());
    pressMouse(ui.bSTOP, Qt::MouseButton(mouseButton));
    QVERIFY(!ui.Clock->isActive());
    QCOMPARE(f.elapsed(), 1500);
}

void tst_RunControl::heldKeyActsOnce()
{
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    f.key(Qt::Key_F4);
    QVERIFY(ui.Clock->isActive());
    // A held F4 sends auto-repeated presses; they must not toggle the countdown back and forth.
    for (int i = 0; i < 3; ++i)
        qt_sendShortcutOverrideEvent(f.window.get(), 0, Qt::Key_F4, Qt::NoModifier, QString(),
                                     true);
    QVERIFY(ui.Clock->isActive());
    qt_sendShortcutOverrideEvent(f.window.get(), 0, Qt::Key_F4, Qt::NoModifier);
    QVERIFY(!ui.Clock->isActive()); // a fresh press acts
}

void tst_RunControl::pauseAndContinueButtons()
{
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    f.key(Qt::Key_F5);
    f.tick(2000);
    ui.sbS2->click();
    QVERIFY(!ui.Clock->isActive());
    QVERIFY(ui.bHF->isDownState());
    QVERIFY(!ui.sbS2->isEnabled() && ui.sbS3->isEnabled());
    f.ticks.advance(4000);
    ui.sbS3->click();
    QVERIFY(ui.Clock->isActive());
    QVERIFY(!ui.bHF->isDownState());
    QVERIFY(ui.sbS2->isEnabled() && !ui.sbS3->isEnabled());
    f.tick(1000);
    f.key(Qt::Key_F9);
    QCOMPARE(f.elapsed(), 3000);
}

void tst_RunControl::tickCounterWrap()
{
    MainWindowFixture f;
    f.ticks.set(0xFFFFF000u);
    f.key(Qt::Key_F5);
    f.tick(6000);
    QVERIFY(f.ticks.now() < 0x1000u); // the counter wrapped
    QCOMPARE(shown(f.ui()), QStringLiteral("006,00"));
    f.key(Qt::Key_F7);
    f.ticks.advance(1000);
    f.key(Qt::Key_F7);
    f.tick(4000);
    f.key(Qt::Key_F9);
    QCOMPARE(f.elapsed(), 10000);
}

void tst_RunControl::allowedTimeBoundary()
{
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    ui.seELZmain->setValue(60);
    QCOMPARE(Settings.ELZ, 60);
    f.key(Qt::Key_F5);
    f.tick(60009);
    QCOMPARE(shown(ui), QStringLiteral("060,00"));
    QCOMPARE(Run.ColorState, quint8(ColorRunning));
    QCOMPARE(ui.Digit6->colorOn(), DisplayColors[3]);
    QVERIFY(f.hooks.timeFaults.isEmpty());

    f.tick(1); // 60.01 s
    QCOMPARE(Run.ColorState, quint8(ColorAlarm));
    QCOMPARE(ui.Digit6->colorOn(), DisplayColors[4]);
    QCOMPARE(ui.Digit5->colorOn(), DisplayColors[4]);
    QCOMPARE(f.hooks.timeFaults, QList<qint32>{60010});
    f.tick(990);
    f.key(Qt::Key_F9); // STOP's own refresh brings the time faults up to date too
    QCOMPARE(f.hooks.timeFaults.size(), 3);
    QCOMPARE(f.hooks.timeFaults.last(), 61000);
}

void tst_RunControl::shortCountdownIsRedAtOnce()
{
    Settings.Timer = 8;
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    QCOMPARE(shown(ui), QStringLiteral("008,00"));
    QCOMPARE(Run.ColorState, quint8(ColorAlarm));
    QCOMPARE(ui.Digit6->colorOn(), DisplayColors[4]);
    QCOMPARE(ui.Digit5->colorOn(), DisplayColors[1]); // a leading zero stays dim

    f.key(Qt::Key_F4); // TIMER puts the ready colour back; the first refresh turns it red
    QCOMPARE(ui.Digit6->colorOn(), DisplayColors[2]);
    f.tick(10);
    QCOMPARE(ui.Digit6->colorOn(), DisplayColors[4]);
    QCOMPARE(shown(ui), QStringLiteral("007,99"));
}

void tst_RunControl::countdownExpiryStartsRun()
{
    Settings.Timer = 45;
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    QCOMPARE(shown(ui), QStringLiteral("045,00"));
    QCOMPARE(ui.Digit5->colorOn(), DisplayColors[2]);
    QCOMPARE(ui.Digit4->colorOn(), DisplayColors[1]);
    f.key(Qt::Key_F4);
    QCOMPARE(ui.ImageLSstart->tag(), 1);
    f.tick(34990);
    QCOMPARE(shown(ui), QStringLiteral("010,01"));
    QCOMPARE(Run.ColorState, quint8(ColorReady));
    f.tick(10);
    QCOMPARE(Run.ColorState, quint8(ColorAlarm));
    f.tick(10000);
    QVERIFY(!Run.CountdownActive);
    QCOMPARE(Run.RunStartTick, f.ticks.now());
    QCOMPARE(shown(ui), QStringLiteral("000,00"));
    QCOMPARE(Run.ColorState, quint8(ColorRunning));
    QCOMPARE(ui.ImageLSstart->tag(), 0);
    QVERIFY(ui.bSTOP->isEnabled());
    f.tick(10);
    QCOMPARE(shown(ui), QStringLiteral("000,01"));
    QCOMPARE(ui.Digit6->colorOn(), DisplayColors[3]);
}

void tst_RunControl::countdownExpiryEliminates()
{
    Settings.Timer = 20;
    Settings.Eli = true;
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    QVERIFY(ui.cbEliminieren->isChecked());
    QSignalSpy eliminated(ui.bAbbruch, &QAbstractButton::clicked);
    f.key(Qt::Key_F4);
    f.tick(19995);
    QCOMPARE(eliminated.size(), 0);
    f.tick(300); // a late refresh: the time has already run out
    QCOMPARE(eliminated.size(), 1);
    QCOMPARE(shown(ui), QStringLiteral("000,00"));
    QVERIFY(!ui.bSTOP->isEnabled()); // no run was started
}

void tst_RunControl::fractionDigits_data()
{
    QTest::addColumn<int>("acc");
    QTest::addColumn<int>("ms");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<bool>("tenthsVisible");
    QTest::addColumn<bool>("hundredthsVisible");
    QTest::newRow("2 decimals") << 2 << 12389 << "012,38" << true << true;
    QTest::newRow("1 decimal truncates") << 1 << 12389 << "012,38" << true << false;
    QTest::newRow("no decimals") << 0 << 12389 << "012,38" << false << false;
    QTest::newRow("thousands lost") << 2 << 1234567 << "034,56" << true << true;
}

void tst_RunControl::fractionDigits()
{
    QFETCH(int, acc);
    QFETCH(int, ms);
    Settings.Acc = acc;
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    f.key(Qt::Key_F5);
    f.tick(quint32(ms));
    QTEST(shown(ui), "digits");
    QTEST(ui.Digit7->isVisible(), "tenthsVisible");
    QTEST(ui.LabSec->isVisible(), "tenthsVisible");
    QTEST(ui.Digit8->isVisible(), "hundredthsVisible");
    // The digit panel narrows to the visible digits, centred.
    const int left = ui.PanelTimer->x();
    const int right = ui.PanelTimerOwner->width() - left - ui.PanelTimer->width();
    QVERIFY(qAbs(left - right) <= 1);
}

void tst_RunControl::soundCues()
{
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    const QString cue1 = Settings.Sound0;
    const QString cue2 = Settings.Sound1;
    QVERIFY(cue1.endsWith(QStringLiteral("1x_Timer_HF.wav")));
    QVERIFY(cue2.endsWith(QStringLiteral("2x_00_00_EL.wav")));

    f.key(Qt::Key_F4); // countdown on
    f.key(Qt::Key_F4); // off: silent
    QCOMPARE(f.sound.played, QStringList{cue1});
    f.key(Qt::Key_F5); // START: silent
    f.key(Qt::Key_F7);
    f.key(Qt::Key_F7);
    QCOMPARE(f.sound.played, (QStringList{cue1, cue1, cue1}));
    ui.sbS1->click();
    QCOMPARE(f.sound.played.last(), cue2);
    f.key(Qt::Key_F9);
    QCOMPARE(f.sound.played.size(), 4);
}

void tst_RunControl::soundOff()
{
    Settings.Sound = false;
    MainWindowFixture f;
    f.key(Qt::Key_F4);
    f.key(Qt::Key_F5);
    f.key(Qt::Key_F7);
    f.key(Qt::Key_F7);
    f.ui().sbS1->click();
    QVERIFY(f.sound.played.isEmpty());
}

void tst_RunControl::datePanel()
{
    MainWindowFixture f;
    TFormMainUi &ui = f.ui();
    QCOMPARE(ui.TimerDate->interval(), 500);
    QVERIFY(ui.TimerDate->isActive());
    ui.PanelDate->clear();
    f.window->clock().TimerDateTimer();
    const QLocale locale;
    const QString date = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    QVERIFY2(ui.PanelDate->text().startsWith(date + QStringLiteral("   ")),
             qPrintable(ui.PanelDate->text()));
    QVERIFY(ui.PanelDate->text().size() > date.size() + 3);
}

QTEST_MAIN(tst_RunControl)
#include "tst_runcontrol.moc"
