#include "SettingsDialogRun.h"
#include "X11Keys.h"

#include "LiveResults.h"
#include "TFormInfo.h"

#include <QClipboard>
#include <QScreen>
#include <QTcpServer>

namespace {
// "key=value|key|..." as a map; a key without a value stands for a key the store lacks.
QVariantMap entries(const QString &text)
{
    QVariantMap map;
    for (const QString &entry : text.split(u'|', Qt::SkipEmptyParts))
        map[entry.section(u'=', 0, 0)] =
            entry.contains(u'=') ? QVariant(entry.section(u'=', 1)) : QVariant();
    return map;
}

// Every value away from its default, as the store holds it.
const QString Unusual =
    QStringLiteral("Port1=3|Alg1=1|Port2=5|Alg2=1|Kont1=1|Kont2=2|Timer=45|PktSek=50|Left=-20|"
                   "Top=30|Width=1024|Height=700|Sound=0|Acc=1|Sound0=/tmp/a, b.wav|"
                   "Sound1=/tmp/c.wav|ELZ=77|C0=197121|C1=394500|C2=591879|C3=789258|"
                   "C4=4278190095|SekPachka=200|Monitor=1|Eli=1|FiltInd=4|Zeile1=Großer Preis|"
                   "Zeile2=Springprüfung Kl. M*|Sum=1|SumF=1|AutoFrei=0|CharSet=4|Lang=English|"
                   "FilterInd=4|FilterIndO=2|BorderTV2=12|LiveWeb=1|LivePort=18080|"
                   "LiveHost=192.0.2.7|DevPort=/dev/ttyUSB3|DevType=tdc8000|"
                   "Board1Port=/dev/serial/by-id/usb-FTDI-if00|Board1Shows=fehler|"
                   "Board2Port=/dev/ttyACM0|Board2Shows=fehler|DevBaud=2400|BoardCountdown=0|"
                   "BrokerOn=1|BrokerHost=broker.example.org|BrokerPort=8883|BrokerTls=1|"
                   "BrokerCa=/etc/ssl/show-ca.pem|BrokerUser=platz2|Show=Aachen 2026|"
                   "Arena=Platz 2|ShowAll=1");

// The record as the store writes it, key by key.
QVariantMap written(const TSettings &s)
{
    QTemporaryDir dir;
    QSettings out(dir.filePath(QStringLiteral("out.conf")), QSettings::IniFormat);
    SaveSettings(out, s);
    QVariantMap map;
    for (const QString &key : out.allKeys())
        map[key] = out.value(key).toString();
    return map;
}

// Puts "key=value|key|..." into the program's store.
void store(const TempSettingsStore &temp, const QString &text)
{
    const QVariantMap values = entries(text);
    const auto store = temp.open();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        it->isValid() ? store->setValue(it.key(), *it) : store->remove(it.key());
}

// What the program reads from a store of Unusual with these changes.
QVariantMap loaded(const QString &changes)
{
    TempSettingsStore temp;
    store(temp, Unusual);
    store(temp, changes);
    TSettings s;
    s.Sound0 = QStringLiteral("cue.wav"); // the default file set before loading
    LoadSettings(*temp.open(), s);
    return written(s);
}

} // namespace

// The main window: keys whatever has the focus, the settings store and a restart.
class tst_FormMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Settings = TSettings{}; }

    // From the rider's name, the allowed time and the start number.
    void runKeysWorkFromEditFields()
    {
        for (const char *focus : {"Reiter", "seELZmain", "cbStNr"}) {
            MainWindowFixture f;
            f.window->findChild<QWidget *>(focus)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
            f.ticks.advance(2220);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
            QVERIFY2(f.elapsed() == 2220, focus);
        }
    }

    // Enabled or not, a command's key never edits the focused field: Ctrl+V after STOPP enters
    // the run, in Ready it pastes nothing, nor does Ctrl+X cut.
    void hiddenCommandsOwnTheirKeys()
    {
        for (const auto &[stopped, key] :
             {std::pair{true, Qt::Key_V}, {false, Qt::Key_V}, {false, Qt::Key_X}}) {
            MainWindowFixture f;
            QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
            if (stopped)
                f.run(1000);
            QSignalSpy entered(f.ui.mEintragen, &QAction::triggered);
            f.ui.Reiter->setText(QStringLiteral("Anna"));
            f.ui.Reiter->setFocus();
            f.ui.Reiter->selectAll();
            x11Key(f.window.get(), key, Qt::ControlModifier);
            QCOMPARE(entered.size(), stopped ? 1 : 0);
            QCOMPARE(f.ui.Reiter->text(), QStringLiteral("Anna"));
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("pasted"));
        }
    }

    // The focus starts on the timing panel; the rider band's captions have the room they need
    // and grey when locked.
    void windowAtStart()
    {
        MainWindowFixture f;
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("xy"));
        QCOMPARE(f.ui.eFText1->text(), QStringLiteral("Klassisches")); // saved at exit otherwise
        QCOMPARE(f.window->windowTitle(),
                 QStringLiteral("Rittmeter / Derizudaroza " RITTMETER_VERSION));
        const QList<QWidget *> row = {f.ui.rbModeA, f.ui.rbModeC, f.ui.rbModeCfahren, f.ui.Label2,
                                      f.ui.ePferd};
        for (int i = 1; i < row.size(); ++i)
            QVERIFY(row[i - 1]->geometry().right() < row[i]->x() &&
                    row[i - 1]->width() >= row[i - 1]->sizeHint().width());
        const QPalette pal = f.ui.rbModeCfahren->palette();
        QVERIFY(pal.color(QPalette::Disabled, QPalette::WindowText) !=
                pal.color(QPalette::Active, QPalette::WindowText));
    }

    // A port in use is said with its number and timing goes on; the next OK tries it again, and
    // then the address shows in the status bar, and with its QR code in the information window.
    void liveResultsOnTheNetwork()
    {
        QTcpServer taken;
        QVERIFY(taken.listen());
        const quint16 port = taken.serverPort();
        std::tie(Settings.LiveWeb, Settings.LivePort) = std::tuple(true, int(port));
        MainWindowFixture f;
        const QLabel *status = f.window->liveResults().lLiveAddress;
        const TFormInfo &info = f.window->formInfo();
        QTRY_VERIFY(status->toolTip().startsWith(
            QStringLiteral("Live-Ergebnisse: Port %1 nicht verfügbar (").arg(port)));
        QVERIFY(status->isVisibleTo(f.window.get()) && !info.lLiveUrl->isVisibleTo(&info));
        f.run(1000);
        QCOMPARE(f.elapsed(), 1000);
        f.key(Qt::Key_V, Qt::ControlModifier); // entered: the settings open again

        taken.close();
        runDialog(f, [](TCfgDialog &) {});
        QTRY_VERIFY(status->text().endsWith(QStringLiteral(":%1/").arg(port)));
        QVERIFY(status->text().startsWith("http://") && info.lLiveUrl->text() == status->text());
        // Black modules on white with four white ones around: across the finder's middle row.
        const QImage qr = info.lLiveQr->pixmap().toImage();
        int m = 0; // the quiet zone, on the diagonal
        while (m < qr.width() && qGray(qr.pixel(m, m)) >= 128)
            ++m;
        QString finder;
        for (int x = 3; x <= 11 && m >= 4; ++x)
            finder += qGray(qr.pixel(x * m / 4 + m / 8, 6 * m / 4 + m / 8)) < 128 ? '1' : '0';
        QVERIFY2(info.lLiveQr->isVisibleTo(&info) && finder == "010111010", qPrintable(finder));

        runDialog(f, [](TCfgDialog &d) { d.cbLiveWeb->setChecked(false); });
        QVERIFY(!status->isVisibleTo(f.window.get()) && !info.lLiveUrl->isVisibleTo(&info) &&
                !info.lLiveQr->isVisibleTo(&info));
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
            run.window->setGeometry(0, 50, 800, 700); // the test screen is 800 by 800
        }
        Settings = TSettings{};
        ProgramRun run;
        QCOMPARE(run.ui.seELZmain->value(), 95);
        // The second title empty, not the default text.
        QCOMPARE(run.ui.eFText1->text() + '|' + run.ui.eFText2->text(), "Großer Preis|");
        QVERIFY(run.ui.rbModeCfahren->isChecked() && run.ui.cbEliminieren->isChecked());
        QCOMPARE(run.window->geometry(), QRect(0, 50, 800, 700));
    }

    // No such monitor, the open dialog apart, no countdown, a finish port that is there; bounds too
    // tall or beyond the screen's edge: the whole window shows.
    void storedValuesAtStart()
    {
        for (const QString bounds : {"Top=100|Height=99999999", "Left=700|Top=600|Width=2000"}) {
            TempSettingsStore temp;
            SaveSettings(*temp.open(), TSettings{});
            store(temp, "Monitor=2|FiltInd=2|FilterInd=5|FilterIndO=1|Timer=0|Port2=2|" + bounds);
            ProgramRun run;
            QVERIFY2(QGuiApplication::primaryScreen()->availableGeometry().contains(
                         run.window->geometry()),
                     qPrintable(bounds));
            // One screen; the open dialog follows the save one; the fake machine's COM1 and COM2.
            QCOMPARE((QList<qint64>{Settings.Monitor, Settings.FilterIndO, qint64(ComPortMask)}),
                     (QList<qint64>{0, 5, 0x20003}));
            QVERIFY(!run.ui.bMon2->isEnabled() && run.ui.bTimer->isHidden() &&
                    run.ui.cbEliminieren->isHidden() && run.ui.ComPort2->Connected() &&
                    run.boxes.messages.isEmpty());
        }
    }

    void resetToDefaults()
    {
        TempSettingsStore temp;
        store(temp, "ELZ=77");
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

    void everyValueComesBack()
    {
        const QVariantMap defaults = written(TSettings{}), values = entries(Unusual);
        QCOMPARE(defaults.keys(), values.keys());
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            QVERIFY2(defaults[it.key()] != *it, qPrintable(it.key())); // else it proves nothing
        QCOMPARE(loaded({}), values);
    }

    void load_data()
    {
        // Reading Unusual with these changes yields the expected values.
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const char *changes, const char *expected) {
            QTest::newRow(name) << QString(changes) << QString(expected);
        };
        row("reading ends at the missing Acc",
            "Acc|Sound0|Sound1|ELZ|C0|C1|C2|C3|C4|SekPachka|Monitor|Eli|FiltInd|Zeile1=kept out|"
            "Zeile2|Sum|SumF|AutoFrei|CharSet|Lang|FilterInd|FilterIndO|BorderTV2",
            "Port1=3|Sound=0|Acc=2|FiltInd=3|Sound0=cue.wav|Lang=|BorderTV2=0|Zeile1=Klassisches");
        row("a missing text reads empty", "Sound0", "Sound0=|Sound1=/tmp/c.wav|BorderTV2=12");
        row("FilterInd overrides FiltInd", "FiltInd=2|FilterInd=5", "FiltInd=5|FilterInd=5");
        row("FiltInd alone when reading ends before FilterInd", "FiltInd=2|CharSet|FilterInd=5",
            "FiltInd=2|FilterInd=2|CharSet=0");
        row("numbers out of range are brought into it; an unknown contact stays, for no line",
            "Port1=300|Port2=-1|Kont1=9|Acc=7|ELZ=1500|SekPachka=0|Width=100|Monitor=-2|"
            "CharSet=99|BorderTV2=500|Timer=123456|LivePort=0|DevBaud=100000",
            "Port1=16|Port2=0|Kont1=9|Acc=2|ELZ=999|SekPachka=10|Width=800|Monitor=0|"
            "CharSet=0|BorderTV2=100|Timer=9999|Alg1=1|LivePort=1|DevBaud=38400");
        row("a file from before the timing device: its texts as defaults, reading ends at DevBaud",
            "DevPort|DevType|Board1Port|Board1Shows|Board2Port|Board2Shows|DevBaud",
            "LiveHost=192.0.2.7|DevPort=|Board2Port=|DevType=timy|Board1Shows=zeit|"
            "Board2Shows=zeit|DevBaud=9600|BoardCountdown=1");
        row("a device, picture or speed nobody knows",
            "DevType=Timy3|Board1Shows=FEHLER|Board2Shows=Uhr|DevBaud=5000",
            "DevType=timy|Board1Shows=fehler|Board2Shows=zeit|DevBaud=9600|BoardCountdown=0");
        row("a text where a number belongs ends the reading", "Timer=sechzig",
            "Kont2=2|Timer=60|ELZ=120|Zeile1=Klassisches");
        row("a number beyond 32 bits ends the reading", "ELZ=99999999999", "Acc=1|ELZ=120|C0=0");
        row("colours keep all 32 bits", "C0=4278190095", "C0=4278190095");
    }

    void load()
    {
        QFETCH(QString, changes);
        QFETCH(QString, expected);
        const QVariantMap got = loaded(changes), want = entries(expected);
        for (auto it = want.cbegin(); it != want.cend(); ++it)
            QCOMPARE(got.value(it.key()).toString() + " " + it.key(),
                     it->toString() + " " + it.key());
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
