#include "FakeFileDialogs.h"
#include "FakeScreens.h"
#include "LocalBroker.h"
#include "SettingsDialogRun.h"

#include "BrokerSettingsGroup.h"
#include "DataFiles.h"
#include "DeviceSettingsGroup.h"
#include "LanguageTable.h"
#include "LiveBroker.h"
#include "PasswordStore.h"
#include "PortChoices.h"
#include "SerialBackend.h"
#include "TColorBox.h"
#include "TFormMonitor2.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <cerrno>
#include <cstring>

static const QString denied = QString::fromLocal8Bit(std::strerror(EACCES));

// A keyring in memory that answers later, as the real one does.
class FakePasswordStore : public PasswordStore
{
public:
    FakePasswordStore() { setPasswordStore(this); }
    ~FakePasswordStore() override { setPasswordStore(nullptr); }
    void read(const QString &key, QObject *context,
              std::function<void(const QString &, const QString &)> done) override
    {
        QTimer::singleShot(0, context, [done, p = passwords.value(key)] { done(p, {}); });
    }
    void write(const QString &key, const QString &password, QObject *context,
               std::function<void(const QString &)> done) override
    {
        passwords[key] = password;
        QTimer::singleShot(0, context, [done] { done({}); });
    }
    QMap<QString, QString> passwords;
};

class tst_Config : public QObject
{
    Q_OBJECT
private slots:
    // The store of an earlier case is gone, but the settings record lives on.
    void init() { Settings = TSettings{}; }
    // The operator's locale: its decimal mark is the comma.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void hundredths()
    {
        // 0.29 is 28.999... in binary; a tie goes to even.
        QCOMPARE((QList<int>{::hundredths(0.29), ::hundredths(0.125), ::hundredths(999.0)}),
                 (QList<int>{29, 12, 99900}));
    }

    void ports_data()
    {
        QTest::addColumn<QString>("start"); // the entries chosen
        QTest::addColumn<QString>("finish");
        QTest::addColumn<QString>("failing");   // COM12's open error: reported, and kept
        QTest::addColumn<QList<int>>("stored"); // Port1, Kont1, Port2, Kont2, Alg2
        QTest::addColumn<QList<int>>("opened"); // the devices open afterwards
        const auto row = [](const char *start, const char *finish, const QString &failing,
                            const QList<int> &stored, const QList<int> &opened) {
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(start, finish)))
                << QString(start) << QString(finish) << failing << stored << opened;
        };
        row("COM12 /1,4", "Keine", "", {12, 2, 0, 0, 0}, {12});
        row("Keine", "COM2 /7,8", "", {0, 0, 2, 1, 1}, {2});     // a finish photocell alone
        row("COM1 /4,6", "COM1 /7,8", "", {1, 0, 1, 1, 1}, {1}); // one port, opened once
        row("COM12 /4,6", "COM2 /4,6", denied, {12, 0, 2, 0, 1}, {2});
    }

    void ports()
    {
        QFETCH(QString, start);
        QFETCH(QString, finish);
        QFETCH(QString, failing);
        FakeSerialDevice com12; // outlives the window that opens it
        MainWindowFixture f;
        com12.openError = failing;
        f.ports.devices.insert(12, &com12);
        runDialog(f, [&](TCfgDialog &d) {
            // A port refused is listed, and its tooltip says what grants access.
            const QString tip =
                d.cbPort1->itemData(d.cbPort1->findText("COM12 /1,4"), Qt::ToolTipRole).toString();
            QVERIFY(tip.startsWith(QStringLiteral("/dev/ttyUSB7")) && !d.cbAlg1->isEnabled());
            QCOMPARE(tip.contains(QStringLiteral("Gruppe dialout")), isAccessDenied(failing));
            choose(d.cbPort1, start);
            choose(d.cbPort2, finish);
            QCOMPARE(d.cbAlg1->isEnabled(), start != "Keine");
            QCOMPARE(d.cbAlg2->isEnabled(), finish != "Keine");
            QVERIFY(d.LabelAlgo->isEnabled());
            d.cbAlg2->setCurrentIndex(1);
        });
        QTEST((QList<int>{Settings.Port1, Settings.Kont1, Settings.Port2, Settings.Kont2,
                          Settings.Alg2}),
              "stored");
        QList<int> open;
        for (const auto &[n, device] :
             {std::pair{1, &f.ports.com1}, {2, &f.ports.com2}, {12, &com12}})
            if (device->open)
                open << n;
        QTEST(open, "opened");
        // The photocell controls show exactly while a port is open.
        QVERIFY(f.ui.ImageLSstart->isVisible() != open.isEmpty() &&
                f.ui.cbRezervLS->isVisible() != open.isEmpty());
        QCOMPARE(f.boxes.messages.size(), failing.isEmpty() ? 0 : 1);
        if (!failing.isEmpty())
            QVERIFY2(f.boxes.messages[0].contains(
                         "COM12 (/dev/ttyUSB7) lässt sich nicht öffnen: " + failing + ".\n") &&
                         f.boxes.messages[0].contains("dialout"),
                     qPrintable(f.boxes.messages[0]));
    }

    void portListFollowsThePlugs()
    {
        FakeSerialDevice com5;
        MainWindowFixture f;
        f.ports.devices.remove(2);
        TSettings chosen = Settings;
        chosen.Port1 = 1;
        f.window->settings().ApplySettings(chosen);
        QVERIFY(f.ports.com1.open);

        // An adapter plugged in after the start, and the port this program holds open.
        f.ports.devices.insert(5, &com5);
        cancelDialog(f, [](TCfgDialog &d) {
            QCOMPARE(comboTexts(d.cbPort1),
                     (QStringList{"Keine", "COM1 /4,6", "COM1 /7,8", "COM1 /1,4", "COM5 /4,6",
                                  "COM5 /7,8", "COM5 /1,4"}));
            QCOMPARE(d.cbPort1->currentText(), QStringLiteral("COM1 /4,6"));
        });
        QVERIFY(f.ports.com1.open);

        // Unplugged: nothing to choose but "Keine".
        f.window->settings().ApplySettings(TSettings{});
        f.ports.devices.clear();
        cancelDialog(f, [](TCfgDialog &d) {
            QCOMPARE(comboTexts(d.cbPort1) + comboTexts(d.cbPort2), QStringList(2, "Keine"));
            QVERIFY(!d.cbAlg1->isEnabled() && !d.cbAlg2->isEnabled() && !d.LabelAlgo->isEnabled());
        });
    }

    void storedValuesWithoutEntry()
    {
        MainWindowFixture f;
        std::tie(Settings.Port1, Settings.Kont1, Settings.Port2, Settings.Kont2, Settings.Alg1,
                 Settings.CharSet) = std::tuple(1, 7, 2, 1, -1, 40);
        Settings.LiveHost = QStringLiteral("192.0.2.7"); // a network that is down now
        runDialog(f, [](TCfgDialog &d) {
            QCOMPARE((QStringList{d.cbPort1->currentText(), d.cbPort2->currentText(),
                                  d.cbCharset->currentText(), d.cbLiveHost->currentText(),
                                  d.cbLiveHost->itemText(0)}),
                     (QStringList{"Keine", "COM2 /7,8", "DEFAULT", "192.0.2.7", "Alle Netzwerke"}));
            // A negative algorithm locks both ports.
            QVERIFY(!d.cbPort1->isEnabled() && !d.cbPort2->isEnabled());
        });
        // The lock survives OK: an algorithm the list does not know is kept.
        QCOMPARE((QList<int>{Settings.Alg1, Settings.Port1, Settings.Port2, Settings.CharSet}),
                 (QList<int>{-1, 0, 2, 0}));
        QCOMPARE(Settings.LiveHost, QStringLiteral("192.0.2.7"));
    }

    void actsAtOnce()
    {
        FakeScreens screens;
        MainWindowFixture f;
        f.ui.Monitor11->trigger();
        cancelDialog(f, [&](TCfgDialog &d) {
            QCOMPARE(comboTexts(d.cbMonitor),
                     (QStringList{"1=(0,0)-(1280,900)", "2=(1280,0)-(1920,1080)"}));
            QVERIFY(d.cbMonitor->isEnabled());
            // The preview first: the audience window is laid out again while it lasts.
            choose(d.cbDigits, QStringLiteral("1"));
            d.cbMonitor->setCurrentIndex(1);
            QCOMPARE(Settings.Monitor, 1);
            // The audience window on show moves with it.
            QCOMPARE(f.window->monitor().geometry(), screens.rects[1]);
            QVERIFY(!f.ui.Digit7->isVisibleTo(f.window.get()) &&
                    !f.ui.LabSec->isVisibleTo(f.window.get()) &&
                    !f.window->monitor().Digit7->isVisibleTo(&f.window->monitor()));
            // The reset asks first; "Nein" leaves the dialog open.
            d.bDefault->click();
            QCOMPARE(f.boxes.questions, QStringList{LanguageText(LanguageLine::DefaultsQuestion)});
            QVERIFY(d.isVisible());
        });
        QVERIFY(Settings.Monitor == 1 && Settings.Acc == 2);
        QVERIFY(f.ui.Digit8->isVisibleTo(f.window.get()) &&
                f.ui.LabSec->isVisibleTo(f.window.get()) &&
                f.window->monitor().Digit8->isVisibleTo(&f.window->monitor()));
        QCOMPARE(f.ui.PanelTimer->width(), f.ui.PanelTimerOwner->width());
        // Its digit panel is as wide as for the restored clock, the fraction digits inside it.
        const QRect audiencePanel = f.window->monitor().PanelTimer->geometry();
        f.window->monitor().ApplyAudienceSettings();
        QCOMPARE(f.window->monitor().PanelTimer->geometry(), audiencePanel);

        screens.rects.removeLast();
        cancelDialog(f, [](TCfgDialog &d) {
            QCOMPARE(comboTexts(d.cbMonitor), QStringList{"nicht angeschlossen"});
            QVERIFY(!d.cbMonitor->isEnabled() && !d.LabMonitor->isEnabled());
        });
        QCOMPARE(Settings.Monitor, 1);
    }

    void valuesOnOk()
    {
        FakeScreens screens;
        MainWindowFixture f;
        FakeFileDialogs dialogs;
        dialogs.colors = {QColor(10, 20, 30)};
        f.ui.Monitor11->trigger();
        f.ui.eFText1->setText(QStringLiteral("Finale"));
        runDialog(f, [&](TCfgDialog &d) {
            d.seELZ->setValue(2000);
            d.seSekInPachka->setValue(0.1);
            // Typed with a point, as on the keypad of a keyboard without a German layout.
            d.sePktSek->selectAll();
            QTest::keyClicks(d.sePktSek, QStringLiteral("0.29"));
            d.sePktSek->interpretText();
            d.seTimer->setValue(0);
            d.seBorder->setValue(7);
            d.cbLSautoFrei->setChecked(false);
            choose(d.cbDigits, QStringLiteral("1/10"));
            // The last item is the user's own colour, chosen in the colour dialog.
            d.cbColor0->setFocus();
            QTest::keyClick(d.cbColor0, Qt::Key_End);
            QCOMPARE(dialogs.colorDialogs, 1);
            d.cbColor4->setColor(rgbColor(0, 0, 255));
            d.cbLiveWeb->setChecked(true);
            d.seLivePort->setValue(18499);
            choose(d.cbLiveHost, QStringLiteral("127.0.0.1"));
        });
        QVERIFY(Settings.LiveWeb && Settings.LivePort == 18499 && Settings.LiveHost == "127.0.0.1");
        QCOMPARE((QList<int>{Settings.ELZ, f.ui.seELZmain->value(), Settings.SekPachka,
                             Settings.PktSek, Settings.Timer, Settings.BorderTV2, Settings.Acc}),
                 (QList<int>{999, 999, 10, 29, 0, 7, 1}));
        QVERIFY(f.ui.bTimer->isHidden() && f.ui.cbEliminieren->isHidden() && !Settings.AutoFrei &&
                !f.ui.Digit8->isVisibleTo(f.window.get()));
        // The audience window takes the border and the main window's titles at once.
        QVERIFY(f.window->monitor().PanelText1->pos() == QPoint(7, 7) &&
                f.window->monitor().PanelText1->text() == "Finale");
        QCOMPARE((QList<TColor>{Settings.C0, Settings.C4, f.ui.Digit4->color()}),
                 (QList<TColor>{rgbColor(10, 20, 30), rgbColor(0, 0, 255), rgbColor(10, 20, 30)}));
        for (QWidget *panel :
             std::initializer_list<QWidget *>{f.ui.PanelTimer, f.window->monitor().Panel1})
            QCOMPARE(panel->palette().color(QPalette::Window), QColor(10, 20, 30));
        QCOMPARE(f.shown(), QStringLiteral("000,00"));
        QCOMPARE(f.window->focusWidget(), f.ui.PanelLeft);

        // The colour dialog cancelled keeps the user colour; choosing it again opens it again.
        cancelDialog(f, [&](TCfgDialog &d) {
            QVERIFY(d.cbColor0->userColorChosen());
            d.cbColor0->showPopup();
            QAbstractItemView *list = d.cbColor0->view();
            const QRect item = list->visualRect(list->model()->index(16, 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
            QCOMPARE(dialogs.colorDialogs, 2);
            QCOMPARE(d.cbColor0->color(), rgbColor(10, 20, 30));
        });
    }

    void portClash_data()
    {
        // Roles as "owner:device"; in %T, by-id/usb-FTDI links to ttyUSB0.
        QTest::addColumn<QStringList>("roles");
        QTest::addColumn<int>("later");
        QTest::addColumn<int>("earlier");
        const auto row = [](const char *name, const QStringList &roles, int later, int earlier) {
            QTest::newRow(name) << roles << later << earlier;
        };
        row("both photocells on one port, the rest apart",
            {"0:%T/ttyS0", "0:%T/ttyS0", "1:%T/ttyUSB0", "2:", "3:"}, -1, -1);
        row("the device on a photocell's port", {"0:", "0:%T/ttyS0", "1:%T/ttyS0"}, 2, 1);
        row("a link is the device it points to", {"1:%T/by-id/usb-FTDI", "2:%T/ttyUSB0"}, 1, 0);
        row("both boards on a port that is absent", {"1:", "2:/dev/ttyGONE9", "3:/dev//ttyGONE9"},
            2, 1);
    }

    void portClash()
    {
        QFETCH(QStringList, roles);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("by-id"));
        for (const char *device : {"ttyS0", "ttyUSB0"})
            QFile(dir.filePath(device)).open(QIODevice::WriteOnly);
        QFile::link(QStringLiteral("../ttyUSB0"), dir.filePath(QStringLiteral("by-id/usb-FTDI")));
        QList<PortRole> list;
        for (const QString &role : roles)
            list.append({{},
                         {},
                         role.section(u':', 1).replace("%T", dir.path()),
                         role.section(u':', 0, 0).toInt()});
        const auto [later, earlier] = ::portClash(list);
        QTEST(later, "later");
        QTEST(earlier, "earlier");
    }

    void devicesAndBoards()
    {
        MainWindowFixture f;
        Settings.DevPort = QStringLiteral("/dev/ttyGONE1"); // an adapter unplugged today
        std::tie(Settings.DevType, Settings.DevBaud, Settings.Board2Shows) =
            std::tuple(QStringLiteral("tdc8000"), 19200, QStringLiteral("fehler"));
        runDialog(f, [&](TCfgDialog &d) {
            DeviceSettingsGroup &g = *d.gbDevices;
            QCOMPARE((QStringList{g.cbDevPort->currentText(), g.cbDevType->currentText(),
                                  g.cbDevBaud->currentText(), g.cbBoard2Shows->currentText(),
                                  g.cbBoard1Port->currentText()}),
                     (QStringList{"/dev/ttyGONE1", "ALGE TdC 8000", "19200", "Fehler", "Keines"}));
            // A board typed onto the device's port, then the device onto COM1's: refused, and
            // the dialog stays open.
            g.cbBoard1Port->setEditText(QStringLiteral(" /dev/ttyGONE1"));
            d.OKBtn->click();
            choose(d.cbPort2, QStringLiteral("COM1 /7,8"));
            g.cbBoard1Port->setEditText(QStringLiteral("/dev/ttyGONE2"));
            g.cbDevPort->setEditText(serialDevicePath(1));
            d.OKBtn->click();
            QVERIFY(d.isVisible());
            const QString twice = LanguageText(LanguageLine::PortTwice);
            QCOMPARE(f.boxes.messages,
                     (QStringList{"Einstellungen|" + twice.arg("Tafel 1 (/dev/ttyGONE1)",
                                                               "Zeitmessgerät (/dev/ttyGONE1)"),
                                  "Einstellungen|" + twice.arg("Zeitmessgerät (/dev/ttyS0)",
                                                               "ZIEL (COM1 /7,8)")}));
            g.cbDevPort->setCurrentIndex(0);
            g.cbBoardCountdown->setChecked(false);
        });
        QCOMPARE((QStringList{Settings.DevPort, Settings.DevType, QString::number(Settings.DevBaud),
                              Settings.Board1Port, Settings.Board2Shows}),
                 (QStringList{"", "tdc8000", "19200", "/dev/ttyGONE2", "fehler"}));
        QVERIFY(!Settings.BoardCountdown);
    }

    // The broker as the operator sets it up: a refused password is said with the broker's reason
    // and the run waits; the one typed in goes into the keyring, never into the settings file,
    // and the run then reaches the broker with its time.
    void brokerFields()
    {
        LocalBroker broker(QStringLiteral("platz2"), QStringLiteral(" neu 2 "), true);
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        BrokerSubscriber watcher(broker);
        FakePasswordStore keyring;
        keyring.passwords[BrokerPasswordKey] = QStringLiteral("alt");
        FakeFileDialogs dialogs;
        dialogs.answers = {{broker.caFile()}};
        MainWindowFixture f;
        LiveBroker &live = f.window->liveBroker();
        std::tie(Settings.BrokerOn, Settings.BrokerUser) =
            std::tuple(true, QStringLiteral("platz2"));
        live.apply();
        QTRY_COMPARE(live.password(), QStringLiteral("alt"));
        runDialog(f, [&](TCfgDialog &d) {
            BrokerSettingsGroup &g = *d.brokerGroup;
            QCOMPARE(g.edBrokerPassword->text(), QStringLiteral("alt"));
            g.cbBrokerTls->setChecked(true);
            g.tbBrokerCa->click();
            g.edBrokerHost->setText(QStringLiteral(" localhost "));
            g.seBrokerPort->setValue(broker.port());
            g.edShow->setText(QStringLiteral("Aachen"));
            g.edArena->setText(QStringLiteral("Platz 1"));
            g.cbShowAll->setChecked(true);
        });
        QVERIFY(Settings.ShowAll);           // the others as the connection below needs them
        const QLabel *status = live.lBroker; // mosquitto says 5, not 4
        QTRY_COMPARE(status->text(), QStringLiteral("Broker: abgelehnt (nicht berechtigt)"));
        f.enter(12340);
        QTRY_VERIFY(status->toolTip().endsWith(QStringLiteral(" · 1 Ritte warten auf den Broker")));

        runDialog(f, [](TCfgDialog &d) {
            d.brokerGroup->edBrokerPassword->setText(QStringLiteral(" neu 2 "));
        });
        QTRY_COMPARE(keyring.passwords.value(BrokerPasswordKey), QStringLiteral(" neu 2 "));
        QTRY_COMPARE(status->text(),
                     QStringLiteral("Broker: verbunden (localhost:%1)").arg(broker.port()));
        QTRY_VERIFY(watcher.last("rittmeter/Aachen/Platz 1/entries").contains(R"("time":"12,34")"));
        f.window.reset();
        const auto stored = f.settingsStore.open();
        QCOMPARE(stored->value("BrokerUser").toString(), QStringLiteral("platz2"));
        for (const QString &key : stored->allKeys())
            QVERIFY2(!stored->value(key).toString().contains("neu 2"), qPrintable(key));
    }

    // No session bus, so no keyring: both calls say so, soon, and keep nothing.
    void keyringAbsent()
    {
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        QObject context;
        QStringList faults;
        PasswordStore keyring;
        keyring.write(BrokerPasswordKey, "geheim", &context, [&](auto error) { faults << error; });
        keyring.read(BrokerPasswordKey, &context,
                     [&](auto password, auto error) { faults << password + u'|' + error; });
        QTRY_COMPARE_WITH_TIMEOUT(faults.size(), 2, 20000);
        QVERIFY2(!faults[0].isEmpty() && faults[1].startsWith(u'|') && faults[1].size() > 1,
                 qPrintable(faults.join(u'/')));
    }

    void soundPickers()
    {
        MainWindowFixture f;
        FakeFileDialogs dialogs;
        Settings.Sound0 = QStringLiteral("/cues/timer.wav");
        dialogs.answers = {{QStringLiteral("/cues/halt.wav")}, {QStringLiteral("/cues/neu.wav")}};
        runDialog(f, [&](TCfgDialog &d) {
            QTest::mouseDClick(d.sSoundHaltFort, Qt::LeftButton);
            QCOMPARE(d.sSoundHaltFort->text() + d.sSoundTimer->text(),
                     QStringLiteral("/cues/halt.wav/cues/timer.wav"));
            QCOMPARE(dialogs.offeredFilters, QStringList{"WAVE files (*.wav)"});
            QCOMPARE(dialogs.offeredFolder,
                     QFileInfo(findDataFile(QStringLiteral("1x_Timer_HF.wav"))).absolutePath());
            d.SpeedButton1->click();
            QCOMPARE(d.sSoundTimer->text(), QStringLiteral("/cues/neu.wav"));
        });
        QCOMPARE(Settings.Sound0 + Settings.Sound1, QStringLiteral("/cues/neu.wav/cues/halt.wav"));
    }
};

QTEST_MAIN(tst_Config)
#include "tst_config.moc"
