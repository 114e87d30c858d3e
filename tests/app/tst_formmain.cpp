#include "MainWindowFixture.h"
#include "X11Keys.h"

#include "DesktopOpener.h"
#include "TFormInfo.h"
#include "TImage.h"
#include "TLbSpeedButton.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QUrl>

namespace {

class FakeOpener : public DesktopOpener
{
public:
    FakeOpener() { setDesktopOpener(this); }
    ~FakeOpener() override { setDesktopOpener(nullptr); }
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return succeed;
    }
    QList<QUrl> opened;
    bool succeed = false;
};

} // namespace

// The window's commands from the keyboard, whatever has the focus, and the information and help
// commands.
class tst_FormMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Settings = TSettings{}; }

    void runKeysWorkFromEditFields_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("rider") << "Reiter";
        QTest::newRow("allowed time") << "seELZmain";
        QTest::newRow("start number") << "cbStNr";
    }

    void runKeysWorkFromEditFields()
    {
        QFETCH(QString, focus);
        MainWindowFixture f;
        auto *w = f.window->findChild<QWidget *>(focus);
        QVERIFY(w);
        w->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
        f.ticks.advance(2220);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
        QCOMPARE(f.elapsed(), 2220);
    }

    void hiddenCommandsOwnTheirKeys_data()
    {
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("entries");
        QTest::newRow("Ctrl+V after STOPP enters the run") << true << int(Qt::Key_V) << 1;
        QTest::newRow("Ctrl+V in Ready pastes nothing") << false << int(Qt::Key_V) << 0;
        QTest::newRow("Ctrl+X in Ready cuts nothing") << false << int(Qt::Key_X) << 0;
    }

    // Enabled or not, a command's key never edits the focused field.
    void hiddenCommandsOwnTheirKeys()
    {
        QFETCH(bool, stopped);
        QFETCH(int, key);
        QFETCH(int, entries);
        MainWindowFixture f;
        TFormMainUi &ui = f.ui();
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        if (stopped) {
            f.key(Qt::Key_F5);
            f.key(Qt::Key_F9);
        }
        QSignalSpy entered(ui.mEintragen, &QAction::triggered);
        ui.Reiter->setText(QStringLiteral("Anna"));
        ui.Reiter->setFocus();
        ui.Reiter->selectAll();
        x11Key(f.window.get(), key, Qt::ControlModifier);
        QCOMPARE(entered.size(), entries);
        QCOMPARE(ui.Reiter->text(), QStringLiteral("Anna"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("pasted"));
    }

    // Each caption of the rider band has the room it needs, and a locked procedure greys.
    void riderBandCaptions()
    {
        MainWindowFixture f;
        TFormMainUi &ui = f.ui();
        const QList<QWidget *> row = {ui.rbModeA, ui.rbModeC, ui.rbModeCfahren, ui.Label2};
        for (int i = 0; i < row.size(); ++i) {
            QVERIFY(row[i]->width() >= row[i]->sizeHint().width());
            if (i > 0)
                QVERIFY(row[i - 1]->geometry().right() < row[i]->x());
        }
        QVERIFY(ui.Label2->geometry().right() < ui.ePferd->x());
        QVERIFY(ui.Label12->geometry().right() < ui.Reiter->x());
        const QPalette pal = ui.rbModeCfahren->palette();
        QVERIFY(pal.color(QPalette::Disabled, QPalette::WindowText) !=
                pal.color(QPalette::Active, QPalette::WindowText));
    }

    void startsOnTheTimingPanel()
    {
        MainWindowFixture f;
        TFormMainUi &ui = f.ui();
        // A key typed by accident reaches no title line (it would be saved at exit).
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("xy"));
        QCOMPARE(ui.eFText1->text(), QStringLiteral("Klassisches"));
        QCOMPARE(QApplication::focusWidget(), ui.Panel5);

        // The photocell list is drawn black, with yellow text.
        ui.cbRezervLS->addItem(QStringLiteral("1. 9:05.07,03"));
        ui.cbRezervLS->setEnabled(true);
        ui.cbRezervLS->show();
        const QImage list = ui.cbRezervLS->grab().toImage();
        QVERIFY(qGray(list.pixel(list.width() / 2, 4)) < 40);
        bool yellowText = false;
        for (int x = 0; x < list.width() && !yellowText; ++x) {
            const QColor c = list.pixelColor(x, list.height() / 2);
            yellowText = c.red() > 150 && c.green() > 150 && c.blue() < 100;
        }
        QVERIFY(yellowText);
    }

    void informationWindow()
    {
        MainWindowFixture f;
        TFormInfo &info = f.window->formInfo();
        QVERIFY(!info.isVisible());
        f.key(Qt::Key_F3);
        QVERIFY(info.isVisible());
        QVERIFY(info.Memo1->text().contains(QStringLiteral("Springprüfungen")));
        QTest::keyClick(&info, Qt::Key_Escape);
        QVERIFY(!info.isVisible());
        QTest::mouseClick(f.ui().bInfo, Qt::LeftButton);
        QVERIFY(info.isVisible());
        info.accept();
    }

    void help_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::addColumn<bool>("opens");
        QTest::newRow("F1, no help file") << int(Qt::Key_F1) << 0 << false;
        QTest::newRow("Alt+I, no help file") << int(Qt::Key_I) << int(Qt::AltModifier) << false;
        QTest::newRow("F1, help shown") << int(Qt::Key_F1) << 0 << true;
    }

    void help()
    {
        QFETCH(int, key);
        QFETCH(int, mods);
        QFETCH(bool, opens);
        FakeOpener opener;
        opener.succeed = opens;
        MainWindowFixture f;
        f.key(key, Qt::KeyboardModifiers(mods));
        QCOMPARE(opener.opened.size(), 1);
        QVERIFY(opener.opened[0].toLocalFile().endsWith(QStringLiteral("/rittmeter.chm")));
        // Without a help viewer the user is told why nothing appeared.
        QCOMPARE(f.boxes.messages.size(), opens ? 0 : 1);
        if (!opens)
            QVERIFY(f.boxes.messages[0].contains(QStringLiteral("Unable to view HTML help")));
    }

    void logoOpensWebPage()
    {
        FakeOpener opener;
        MainWindowFixture f;
        QTest::mouseClick(f.ui().ImageLogo, Qt::LeftButton);
        QCOMPARE(opener.opened.size(), 1);
        QCOMPARE(opener.opened[0].scheme(), QStringLiteral("https"));
    }
};

QTEST_MAIN(tst_FormMain)
#include "tst_formmain.moc"
