#include "FakeScreens.h"
#include "MainWindowFixture.h"
#include "X11Keys.h"

#include "Screens.h"
#include "TFormMonitor2.h"

namespace {
// The main window's digit block as the program lays it out.
MainClockGeometry mainClock(int panelWidth = 432)
{
    MainClockGeometry g;
    g.panelTimer = QSize(panelWidth, 174);
    for (int i = 0; i < 5; ++i) // the seconds' point between the third and fourth digit
        std::tie(g.digits[i], g.thickness[i]) =
            std::tuple(QRect(6 + 80 * i + (i > 2 ? 20 : 0), 4, 76, 150), 9);
    g.labSec = QRect(244, 114, 20, 40);
    g.labSecPointSize = 32;
    return g;
}

QString fraction(const TFormMonitor2 &m)
{
    return QStringLiteral("%1%2").arg(m.Digit7->value()).arg(m.Digit8->value());
}
} // namespace

// The audience window: its layout on the TV, the clock it mirrors, the texts it shows, and how
// it comes and goes without ever taking the operator's keys.
class tst_TFormMonitor2 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Settings = TSettings{}; }

    // H, font, inner border, panel left and width, the first digit and its thickness. Scale 1.5 in
    // the second: 1.5 rounds to 2, 4.5 to 4 (ties to even); the digit panel's width is a product
    // beyond 32 bits.
    void layout()
    {
        MainClockGeometry ties;
        ties.panelTimer = QSize(2'000'000, 40);
        ties.digits[0] = QRect(1, 3, 2, 2);
        ties.thickness[0] = 3;
        const QList<std::tuple<QSize, MainClockGeometry, QList<int>>> cases{
            {QSize(1920, 1080), mainClock(), {90, 54, 15, 290, 1340, 19, 12, 235, 466, 28}},
            {QSize(100, 120), ties, {10, 6, 1, (100 - 3'000'000) / 2, 3'000'000, 2, 4, 2, 4, 4}}};
        for (const auto &[client, main, expected] : cases) {
            const AudienceLayout l = layoutAudience(client, main);
            const QRect d = l.digits[0];
            QCOMPARE((QList<int>{l.lineHeight, l.fontPointSize, l.innerBorder, l.panelTimer.x(),
                                 l.panelTimer.width(), d.x(), d.y(), d.width(), d.height(),
                                 l.thickness[0]}),
                     expected);
            const int h = l.lineHeight;
            QCOMPARE(l.textPanels[4], QRect(0, 4 * h, client.width(), h));
            QCOMPARE(l.bottomLine, QRect(0, client.height() - h, client.width(), h));
            QCOMPARE(l.digitArea.height(), client.height() - 6 * h);
        }
    }

    // Monitor 1 stored, two screens: the window opens on the TV at start, with the main
    // clock's decimals from the first second, and never takes the operator's keys.
    void opensOnTheTvAtStart()
    {
        FakeScreens screens;
        Settings.Monitor = 1;
        Settings.Acc = 1;
        Settings.BorderTV2 = 10;
        MainWindowFixture f(false);
        TFormMonitor2 &m = f.window->monitor();
        QVERIFY(m.isVisible() && f.ui.Monitor11->isChecked());
        QCOMPARE((QList<QRect>{m.geometry(), m.PanelText1->geometry()}),
                 (QList<QRect>{screens.rects[1], QRect(10, 10, 1900, 88)}));
        QVERIFY(m.Digit7->isVisibleTo(&m) && !m.Digit8->isVisibleTo(&m));
        QCOMPARE(m.PanelText1->text(), QStringLiteral("Klassisches"));
        QCOMPARE(QApplication::activeWindow(), f.window.get());
        // On its own screen it leaves Escape to the operator's window.
        x11Key(f.window.get(), Qt::Key_Escape, Qt::NoModifier);
        QVERIFY(m.isVisible() && f.ui.Monitor11->isChecked());

        f.key(Qt::Key_F5);
        QVERIFY(f.ui.bSTOP->isEnabled());
        // The TV goes: the window moves to the screen that is left.
        screens.rects.removeLast();
        m.screensChanged();
        QCOMPARE(m.geometry(), screens.rects[0]);
    }

    void showsTheStarterTheResultAndTheClock()
    {
        FakeScreens screens;
        MainWindowFixture f(false);
        f.ui.cbStNr->setEditText(QStringLiteral("12a"));
        f.ui.cbKNr->setEditText(QStringLiteral("7"));
        f.ui.Reiter->setText(QStringLiteral("Anna"));
        f.ui.ePferd->setText(QStringLiteral("Cornet"));
        TFormMonitor2 &m = f.window->monitor();
        QVERIFY(!m.isVisible());
        const QString blanks(9, QLatin1Char(' '));
        f.window->clock().TimerDateTimer();
        QCOMPARE(m.PanelDate->text(), blanks + f.ui.PanelDate->text());
        QCOMPARE(m.PanelName->text() + m.PanelPferd->text(), QStringLiteral("12a  Anna7  Cornet"));

        f.enter(5000);
        // The result shows at once, after the nine blanks.
        QVERIFY(m.PanelDate->text().startsWith(blanks + QStringLiteral("Punkte:")));
        f.window->protocol().bRESETClick();
        QCOMPARE(m.PanelDate->text(), blanks + f.ui.PanelDate->text());

        // The next starters from the list: head numbers repeat, horses are alike.
        f.window->starters().setStarters({"1\t5\tB", "2\t7\tB", "3\t5\tB"}, {"5", "7", "5"});
        for (const QString expected : {"2  7  B", "3  5  B"}) {
            f.ui.sb1p->click();
            QCOMPARE(m.PanelName->text() + m.PanelPferd->text(), expected);
        }

        // The clock running: whole seconds, the fraction digits 0, the leading zero dimmed alike.
        f.key(Qt::Key_F5);
        f.tick(12'345);
        QCOMPARE(QStringLiteral("%1%2").arg(m.Digit5->value()).arg(m.Digit6->value()) + fraction(m),
                 QStringLiteral("1200"));
        QVERIFY(m.Digit5->colorOn() == f.ui.Digit5->colorOn() &&
                m.Digit4->colorOn() == f.ui.Digit4->colorOn());
        f.key(Qt::Key_F7);
        QCOMPARE(fraction(m), QStringLiteral("34")); // held: the hundredths
        f.key(Qt::Key_F7);
        f.tick(1'000);
        QCOMPARE(fraction(m), QStringLiteral("00"));
        f.key(Qt::Key_F9);
        QCOMPARE(fraction(m), QStringLiteral("34"));
        f.window->clock().ApplyAccuracy(0);
        QVERIFY(!m.Digit7->isVisibleTo(&m) && !m.Digit8->isVisibleTo(&m) &&
                !m.LabSec->isVisibleTo(&m));
    }

    void showAndHide()
    {
        FakeScreens screens;
        screens.rects = {QRect(0, 0, 1920, 1080)};
        MainWindowFixture f(false);
        TFormMonitor2 &m = f.window->monitor();
        QVERIFY(!f.ui.bMon2->isEnabled()); // one screen, yet Ctrl+T shows the window on it
        f.ui.Reiter->setFocus();
        // Typed while the window was hidden: it shows what the main window holds now.
        f.ui.eFText1->setText(QStringLiteral("Finale"));
        f.ui.Reiter->setText(QStringLiteral("Bernd"));
        x11Key(f.window.get(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(m.isVisible());
        QCOMPARE(m.geometry(), screens.rects[0]);
        QVERIFY(m.PanelText1->text() == "Finale" && m.PanelName->text().endsWith("  Bernd"));
        QCOMPARE(QApplication::focusWidget(), f.ui.Reiter);
        x11Key(f.window.get(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(!m.isVisible() && !f.ui.Monitor11->isChecked());

        // It covers the operator's only screen: Escape hides it from wherever the focus is.
        x11Key(f.window.get(), Qt::Key_T, Qt::ControlModifier);
        x11Key(f.window.get(), Qt::Key_Escape, Qt::NoModifier);
        QVERIFY(!m.isVisible() && !f.ui.Monitor11->isChecked());
        // Closed by the window manager: the next Ctrl+T shows it again.
        x11Key(f.window.get(), Qt::Key_T, Qt::ControlModifier);
        m.close();
        QVERIFY(!f.ui.Monitor11->isChecked());
        x11Key(f.window.get(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(m.isVisible() && f.ui.Monitor11->isChecked());

        // Clicked into by the operator: the run's keys still reach the main window, and Escape
        // hides the audience window.
        QTest::keyClick(&m, Qt::Key_F5);
        QVERIFY(f.ui.bSTOP->isEnabled());
        QTest::keyClick(&m, Qt::Key_Escape);
        QVERIFY(!m.isVisible() && !f.ui.Monitor11->isChecked());
    }
};

QTEST_MAIN(tst_TFormMonitor2)
#include "tst_tformmonitor2.moc"
