#include "MainWindowFixture.h"

#include "DesktopOpener.h"
#include "TFormInfo.h"

#include <QClipboard>

namespace {
// Keeps the addresses the program asks the desktop to open; there is no viewer.
class FakeOpener : public DesktopOpener
{
public:
    FakeOpener() { setDesktopOpener(this); }
    ~FakeOpener() override { setDesktopOpener(nullptr); }
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return false;
    }
    QList<QUrl> opened;
};

} // namespace

// The main window: its commands from the keyboard, whatever has the focus, the information and
// help commands, and its settings across a restart of the program.
class tst_FormMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Settings = TSettings{};
        applyDefaultSoundFiles(Settings);
    }

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

    void shortcutOrEditField_data()
    {
        QTest::addColumn<bool>("stopped");
        QTest::newRow("EINTRAGEN enabled: the command wins") << true;
        QTest::newRow("EINTRAGEN disabled: the field pastes") << false;
    }

    void shortcutOrEditField()
    {
        QFETCH(bool, stopped);
        MainWindowFixture f;
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        if (stopped) {
            f.key(Qt::Key_F5);
            f.key(Qt::Key_F9);
        }
        QSignalSpy entered(f.ui.mEintragen, &QAction::triggered);
        f.ui.Reiter->setText(QStringLiteral("Anna"));
        f.ui.Reiter->setFocus();
        QTest::keyClick(f.ui.Reiter, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(entered.size(), stopped ? 1 : 0);
        QCOMPARE(f.ui.Reiter->text(),
                 stopped ? QStringLiteral("Anna") : QStringLiteral("Annapasted"));
    }

    void informationAndHelpKeys()
    {
        FakeOpener opener;
        MainWindowFixture f;
        f.key(Qt::Key_F3);
        QVERIFY(f.window->formInfo().isVisible());
        f.window->formInfo().accept();
        f.key(Qt::Key_F1);
        f.key(Qt::Key_I, Qt::AltModifier);
        QCOMPARE(opener.opened.size(), 2);
        QVERIFY(opener.opened[1].toString().endsWith(QStringLiteral("/rittmeter.chm")));
        QCOMPARE(f.boxes.messages.size(), 2); // without a help viewer the user is told why
    }

    void restartKeepsTheOperatorsSettings()
    {
        TempSettingsStore temp;
        {
            ProgramRun run;
            run.ui.seELZmain->setValue(95);
            run.ui.eFText1->setText(QStringLiteral("Großer Preis"));
            run.ui.eFText2->setText(QString());
            run.ui.rbModeCfahren->setChecked(true);
            run.ui.cbEliminieren->setChecked(true);
            run.window->setGeometry(40, 50, 1000, 700);
        }
        Settings = TSettings{};
        ProgramRun run;
        QCOMPARE(run.ui.seELZmain->value(), 95);
        QCOMPARE(run.ui.eFText1->text(), QStringLiteral("Großer Preis"));
        QCOMPARE(run.ui.eFText2->text(), QString()); // empty, not the default text
        QVERIFY(run.ui.rbModeCfahren->isChecked() && run.ui.cbEliminieren->isChecked());
        QCOMPARE(run.window->size(), QSize(1000, 700));
    }

    void storedValuesAtStart_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<int>("filterIndO");
        QTest::addColumn<bool>("timerShown");
        QTest::addColumn<bool>("portOpen");
        QTest::newRow("monitor that is not there")
            << QVariantMap{{"Monitor", 2}} << 3 << true << false;
        QTest::newRow("open dialog follows the save dialog")
            << QVariantMap{{"FiltInd", 2}, {"FilterInd", 5}, {"FilterIndO", 1}} << 5 << true
            << false;
        QTest::newRow("no countdown") << QVariantMap{{"Timer", 0}} << 3 << false << false;
        QTest::newRow("a port that is there") << QVariantMap{{"Port2", 2}} << 3 << true << true;
    }

    void storedValuesAtStart()
    {
        QFETCH(QVariantMap, stored);
        QFETCH(bool, timerShown);
        TempSettingsStore temp;
        {
            const auto store = temp.open();
            SaveSettings(*store, TSettings{});
            for (auto it = stored.cbegin(); it != stored.cend(); ++it)
                store->setValue(it.key(), *it);
        }
        ProgramRun run;
        QVERIFY(Settings.Monitor == 0 && !run.ui.bMon2->isEnabled()); // one screen
        QTEST(Settings.FilterIndO, "filterIndO");
        QCOMPARE(!run.ui.bTimer->isHidden(), timerShown);
        QCOMPARE(!run.ui.cbEliminieren->isHidden(), timerShown);
        QTEST(run.ui.ComPort1->Connected() || run.ui.ComPort2->Connected(), "portOpen");
        QCOMPARE(ComPortMask, 0x20003u); // the fake machine's COM1 and COM2
        QVERIFY(run.boxes.messages.isEmpty());
    }

    void resetToDefaults()
    {
        TempSettingsStore temp;
        temp.open()->setValue("ELZ", 77);
        {
            ProgramRun run;
            run.boxes.answers = {false, true};
            QVERIFY(!run.window->ResetToDefaults());
            QCOMPARE(temp.open()->value("ELZ").toInt(), 77);
            QVERIFY(run.window->ResetToDefaults());
            QCOMPARE(run.boxes.questions.size(), 2);
            run.ui.seELZmain->setValue(88);
        } // the end of the program saves nothing
        QVERIFY(temp.open()->allKeys().isEmpty());
        Settings = TSettings{};
        ProgramRun run;
        QCOMPARE(run.ui.seELZmain->value(), 120);
    }

private:
    // A program run: start, then whatever the test does, then the end of the program.
    struct ProgramRun
    {
        FakeSerialPorts ports;
        RecordingBoxes boxes;
        RecordingSound sound;
        std::unique_ptr<TFormMain> window = std::make_unique<TFormMain>();
        TFormMainUi &ui = window->ui;
    };
};

QTEST_MAIN(tst_FormMain)
#include "tst_formmain.moc"
