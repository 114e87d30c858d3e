#include "MainWindowFixture.h"

#include "ImpulseLog.h"
#include "ImpulseLogFormat.h"
#include "PhotocellRules.h"
#include "ProtocolRow.h"
#include "SessionFiles.h"
#include "SessionKeeper.h"
#include "TerminationSignals.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <csignal>

namespace {
const QString RestoreQuestion = QStringLiteral("Protokoll der letzten Sitzung wiederherstellen?");

// A session folder of the test's own, for its lifetime.
class SessionFolderScope
{
public:
    explicit SessionFolderScope(const QString &folder = {})
        : m_folder(folder.isEmpty() ? m_temp.filePath(QStringLiteral("Rittmeter")) : folder)
    {
        setSessionFolder(m_folder);
    }
    ~SessionFolderScope() { setSessionFolder(QString()); }
    QString path() const { return m_folder; }
    QString filePath(const QString &name) const { return QDir(m_folder).filePath(name); }

private:
    QTemporaryDir m_temp;
    QString m_folder;
};

// Starts one of the built programs, with a home of its own, headless.
bool start(QProcess &program, const QTemporaryDir &home, const QString &name,
           const QStringList &args = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(home.path());
    program.start(QCoreApplication::applicationDirPath() + u'/' + name, args);
    return program.waitForStarted();
}

QStringList toStrings(const QJsonValue &value)
{
    return QVariant(value.toArray().toVariantList()).toStringList();
}

QList<QStringList> logLines(const QString &folder)
{
    QList<QStringList> lines;
    for (const QByteArray &line :
         fileBytes(QDir(folder).filePath(impulseLogName(QDate::currentDate()))).split('\n'))
        if (!line.isEmpty())
            lines << QString::fromUtf8(line).split(QLatin1Char('\t'));
    return lines;
}
} // namespace

// The kept session and the impulse log: what a crash, a kill or a logout leaves, and what the
// next start makes of it.
class tst_Session : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Settings = TSettings{};
        std::fill(LastLineState, LastLineState + 3, 0x55555555u);
    }

    // Line breaks, a tab and Unicode separators in a rider's name and a start number.
    void logLinesStayOneLine()
    {
        const QString text = QStringLiteral("Anna\nMüller\r\nRV\tNr a\u2028b\u2029c\u0085d");
        const QString line = impulseLogLine({QDateTime(QDate(2026, 12, 7), QTime(9, 5, 7, 34)),
                                             QStringLiteral("STOP"), text, 61'234, text});
        for (const QChar separator : QStringView(u"\n\r\u2028\u2029\u0085"))
            QVERIFY(!line.contains(separator));
        const QStringList fields = line.split(QLatin1Char('\t'));
        QCOMPARE(fields.mid(0, 3) << fields.value(4) << QString::number(fields.size()),
                 (QStringList{"2026-12-07", "09:05:07.034", "STOP", "61,234", "9"}));
    }

    // Not JSON, a list of numbers: refused, the state untouched; a position past the list: the
    // first starter.
    void brokenStateIsRefused()
    {
        const QByteArray head = R"({"format":"Rittmeter-Sitzung","version":1,)";
        SessionState state;
        QVERIFY(!readSessionState("7\t12\tWindspiel", state));
        QVERIFY(!readSessionState(head + R"("starters":[1,2],"headNumbers":[]})", state));
        QCOMPARE(state.position, -1);
        QVERIFY(readSessionState(head + R"("starters":["7","9"],"headNumbers":[],"position":5})",
                                 state));
        QCOMPARE(state.position, 0);
    }

    // A logout ends the real program in order: settings saved, exit code 0.
    void terminationSignalsEndInOrder()
    {
        QTemporaryDir home;
        QProcess program;
        QVERIFY(start(program, home, QStringLiteral("rittmeter")));
        // Ready once the kernel lists the signal as caught.
        const QString status = QStringLiteral("/proc/%1/status").arg(program.processId());
        auto caught = [&]() -> bool {
            for (const QByteArray &line : fileBytes(status).split('\n'))
                if (line.startsWith("SigCgt:"))
                    return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(caught(), 20000);
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000) && program.exitStatus() == QProcess::NormalExit &&
                program.exitCode() == 0);
        const QSettings saved(home.filePath(QStringLiteral("config/Ostrel/Rittmeter.conf")),
                              QSettings::IniFormat);
        QCOMPARE(saved.value(QStringLiteral("ELZ")).toInt(), 120);
    }

    // A kill, or a logout or shutdown, with a run on course ("running", "held", "stopped") or
    // not: the next start offers the protocol as shown; a run not entered makes no row, the log
    // names its time, and its rider comes back as typed.
    void keptSessionComesBack_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("restore");
        QTest::addColumn<QString>("onCourse");
        QTest::newRow("killed, Ja") << int(SIGKILL) << true << QString();
        QTest::newRow("killed, Nein") << int(SIGKILL) << false << QString();
        QTest::newRow("running, logout") << int(SIGTERM) << true << "running";
        QTest::newRow("held, hang-up") << int(SIGHUP) << true << "held";
        QTest::newRow("stopped, logout") << int(SIGTERM) << true << "stopped";
    }

    void keptSessionComesBack()
    {
        QFETCH(int, signal);
        QFETCH(bool, restore);
        QFETCH(QString, onCourse);
        QTemporaryDir home;
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QVERIFY(start(child, home, QStringLiteral("session_child"), {onCourse}));
        QByteArray out;
        QDeadlineTimer deadline(30'000);
        while (!out.endsWith("ready\n") && !deadline.hasExpired() &&
               child.state() == QProcess::Running)
            if (child.waitForReadyRead(1000))
                out += child.readAllStandardOutput();
        QVERIFY2(out.endsWith("ready\n"), out.constData());
        const qint64 pid = child.processId();
        ::kill(pid_t(pid), signal);
        QVERIFY(child.waitForFinished(20'000));
        // A signal it handles ends the program in order, its settings saved; a kill does not.
        const bool handled = signal != SIGKILL;
        QCOMPARE(child.exitStatus(), handled ? QProcess::NormalExit : QProcess::CrashExit);
        QVERIFY(!handled || (child.exitCode() == 0 &&
                             QFile::exists(home.filePath("config/Ostrel/Rittmeter.conf"))));
        const QJsonObject shown = QJsonDocument::fromJson(out.split('\n').first()).object();
        QList<QStringList> rows;
        for (const QJsonValue &row : shown.value(QStringLiteral("rows")).toArray())
            rows << toStrings(row);
        // The headings, three runs of which one deleted, one to come.
        QCOMPARE(QString::number(rows.size()) + rows.value(1).value(ColHorse), "4Windspiel II");

        SessionFolderScope folder(home.filePath(QStringLiteral(".local/share/Ostrel/Rittmeter")));
        const QList<QStringList> lines = logLines(folder.path());
        if (!onCourse.isEmpty())
            QCOMPARE(lines.value(lines.size() - 1).mid(2),
                     (QStringList{"UNTERBROCHEN", signal == SIGTERM ? "SIGTERM" : "SIGHUP",
                                  "45,670", "14", QString::number(pid), "45,670", "0"}));
        TempSettingsStore settings;
        FakeSerialPorts ports;
        RecordingBoxes boxes;
        boxes.answers = {restore};
        TFormMain window;
        QCOMPARE(boxes.questions, QStringList{RestoreQuestion});
        const QDir dir(folder.path());
        if (restore) {
            QCOMPARE(window.ui.SortGrid1->allRowTexts(), rows);
            QCOMPARE(window.starters().items() + window.starters().headNumbers(),
                     toStrings(shown.value("starters")) + toStrings(shown.value("headNumbers")));
            QCOMPARE(window.ui.cbStNr->currentIndex(), shown.value("position").toInt());
            QCOMPARE(window.ui.Reiter->text() + '|' + window.ui.ePferd->text(),
                     onCourse.isEmpty() ? "Tom Bär|Léa" : "Tom Bär-Meier|Léa");
            QVERIFY(window.ui.rbModeC->isChecked() && window.ui.sbSave->isEnabled());
        } else {
            QVERIFY(window.ui.SortGrid1->gridRowCount() == 2 &&
                    window.starters().items().isEmpty());
            QVERIFY(window.ui.SortGrid1->rowTexts(1).join(QString()).isEmpty());
            QVERIFY(!dir.exists(SessionProtocolName) && !dir.exists(SessionStateName));
            const QStringList aside =
                dir.entryList({"protokoll-*.txt"}) + dir.entryList({"sitzung-*.json"});
            QCOMPARE(aside.size(), 2);
            const QByteArray kept = fileBytes(dir.filePath(aside.first()));
            QCOMPARE(parseTextList(QString::fromUtf8(kept), ProtocolColumnCount), rows);
        }
        QCOMPARE(boxes.messages.size(), onCourse.isEmpty() ? 0 : 1);
        if (!onCourse.isEmpty())
            QVERIFY2(boxes.messages[0].contains("Startnummer 14 (Tom Bär-Meier") &&
                         boxes.messages[0].contains("45,67 s") &&
                         window.ui.StatusPanels[1]->text().contains("45,67"),
                     qPrintable(boxes.messages[0]));
    }

    void endedSessionIsNotOffered()
    {
        SessionFolderScope folder;
        MainWindowFixture f(false);
        f.enter(61'230);
        f.boxes.answers = {true};
        QVERIFY(f.window->close()); // "Beenden?" Ja
        f.window.reset();
        f.boxes.questions.clear();

        TFormMain next;
        QVERIFY(f.boxes.questions.isEmpty() && next.ui.SortGrid1->gridRowCount() == 2 &&
                next.ui.SortGrid1->cells(ColRideTime, 1).isEmpty());
        // The ended session's protocol is kept under its date, never overwritten.
        QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("protokoll-*.txt")}).size(), 1);

        // A second window while this one runs neither takes its session over nor writes on it.
        next.ui.SortGrid1->setCells(ColRider, 1, QStringLiteral("Anna"));
        QTRY_VERIFY(!next.session()->pending());
        TFormMain second;
        QVERIFY(f.boxes.questions.isEmpty() && f.boxes.messages.size() == 1);
        second.ui.SortGrid1->setCells(ColRider, 1, QStringLiteral("Tom"));
        QTRY_VERIFY(!next.session()->pending() && !second.session()->pending());
        QVERIFY(fileBytes(folder.filePath(SessionProtocolName)).contains("Anna"));
    }

    void logRecordsEveryCommandAndImpulse()
    {
        SessionFolderScope folder;
        std::tie(Settings.Port1, Settings.Port2, Settings.Kont2) = std::tuple(1, 2, 1);
        MainWindowFixture f(false);
        f.ui.cbStNr->setEditText(QStringLiteral("17"));
        f.key(Qt::Key_F11); // arms the start photocell
        QVERIFY(f.stampEdge(f.ports.com1, ModemLine::DSR));
        f.ticks.advance(300); // the edge waits 300 ms to be handled
        QTRY_VERIFY(f.ui.bSTOP->isEnabled());
        // Inside the lock-out: ignored, and logged before the clock moves on.
        edge(f.ports.com1, 0);
        QVERIFY(f.stampEdge(f.ports.com1, ModemLine::DSR));
        QTRY_COMPARE(logLines(folder.path()).size(), 3);
        f.tick(10'000);
        f.key(Qt::Key_F7); // hold
        f.ticks.advance(2'000);
        f.key(Qt::Key_F6); // 6 penalty seconds: the clock moves on, the time ridden does not
        f.key(Qt::Key_F7); // continue
        f.tick(5'000);
        f.key(Qt::Key_F9);
        f.key(Qt::Key_V, Qt::ControlModifier);
        f.key(Qt::Key_N, Qt::ControlModifier);
        QTest::mousePress(f.ui.bSTART, Qt::LeftButton);
        f.tick(1'500);
        f.key(Qt::Key_X, Qt::ControlModifier); // abort: eliminated, and entered
        // A timing device's lines: what they did, the stamp and the line as it came.
        for (const auto &[raw, effect] :
             {std::pair{" 0017 c1  12:00:05.0000 00", PhotocellImpulse::BeforeStart},
              {"\x01garbage", PhotocellImpulse::None}})
            f.window->impulseLog()->DeviceLineSeen(
                {parseTimerLine(TimerModel::Timy, raw), 0, QDateTime::currentDateTime()},
                QStringLiteral("/dev/ttyUSB0"), effect, -1);
        // Entered and deleted rows are on the disk without the event loop running again: a kill
        // right after them loses nothing.
        const auto keptAsShown = [&] {
            return f.window->session()->writer().waitWritten(QDeadlineTimer(5000)) &&
                   parseTextList(QString::fromUtf8(fileBytes(folder.filePath(SessionProtocolName))),
                                 ProtocolColumnCount) == f.ui.SortGrid1->allRowTexts();
        };
        QVERIFY(keptAsShown());
        f.boxes.answers = {true};
        f.ui.Strokadelete->trigger();
        QVERIFY(f.ui.SortGrid1->gridRowCount() == 2 && keptAsShown());

        const QList<QStringList> lines = logLines(folder.path());
        QCOMPARE(lines.value(0).join(QLatin1Char('\t')), impulseLogHeading());
        QStringList got;
        for (const QStringList &line : lines.mid(1)) {
            got << (line.mid(2, 4) + line.mid(7)).join(QLatin1Char('|'));
            QCOMPARE(line.value(6), QString::number(QCoreApplication::applicationPid()));
        }
        // Event, source, the clock's time, start number; the time ridden and the penalty seconds.
        const QString cell = QStringLiteral("Lichtschranke COM1 DSR Start");
        QCOMPARE(got, (QStringList{
                          "START|" + cell + "|0,000|17|0,000|0",
                          "Impuls ignoriert (Sperrzeit)|" + cell + "|0,300|17|0,300|0",
                          "HALT|Taste F7|10,300|17|10,300|0",
                          "STRAFSEKUNDEN +6|Taste F6|16,300|17|10,300|6",
                          "WEITER|Taste F7|16,300|17|10,300|6", "STOP|Taste F9|21,300|17|15,300|6",
                          "EINTRAGEN|Taste Ctrl+V|21,300|17|15,300|6", "NEXT|Taste Ctrl+N|-|17|-|-",
                          "START|Maus|0,000|18|0,000|0", "ABBRUCH EL|Taste Ctrl+X|1,500|18|1,500|0",
                          "EINTRAGEN (ABBRUCH EL)|Taste Ctrl+X|-|18|-|-",
                          "Ziel vor dem Start ignoriert|Zeitmessgerät /dev/ttyUSB0 c1 "
                          "12:00:05.0000 [ 0017 c1  12:00:05.0000 00]|-|18|-|-",
                          "Zeile nicht gelesen: unlesbar|Zeitmessgerät /dev/ttyUSB0 [ "
                          "garbage]|-|18|-|-"}));
        QCOMPARE(f.cell(ColRideTime, 1), QStringLiteral("15,30"));
        // The START line has the edge's time: 300 ms before the next line was handled.
        const auto time = [&](int i) { return QTime::fromString(lines[i][1], "hh:mm:ss.zzz"); };
        QVERIFY(time(1).msecsTo(time(2)) >= 295);
    }

    void unwritableFolderIsReportedOnce()
    {
        QTemporaryDir temp;
        const QString blocker = temp.filePath(QStringLiteral("belegt"));
        QVERIFY(writeBytes(blocker, "x"));
        SessionFolderScope folder(blocker + QStringLiteral("/Rittmeter"));
        MainWindowFixture f(false);
        for (int rider = 0; rider < 2; ++rider) {
            f.enter(61'230 + rider);
            QVERIFY(f.window->session()->writer().waitWritten(QDeadlineTimer(5000)));
            QTRY_COMPARE(f.boxes.notices.size(), 1);
            // The report holds no key: the next rider's NEXT and START reach the window.
            QVERIFY(!QApplication::activeModalWidget());
            f.key(Qt::Key_N, Qt::ControlModifier);
        }
        QVERIFY(f.boxes.messages.isEmpty() && f.boxes.notices.first().contains(folder.path()) &&
                f.ui.StatusPanels[1]->text().startsWith(QStringLiteral("Sicherung nicht")));
        QCOMPARE(f.cell(ColRideTime, 1) + '|' + f.cell(ColRideTime, 2), "61,23|61,23");

        // The folder can be made again: the next change is kept, and the status bar says so.
        QVERIFY(QFile::remove(blocker));
        f.enter(1'000);
        QTRY_VERIFY(!f.window->session()->pending());
        QTRY_COMPARE(f.ui.StatusPanels[1]->text(), QStringLiteral("Ostrel Rittmeter"));
        QVERIFY(QFile::exists(folder.filePath(SessionStateName)) && f.boxes.notices.size() == 1);
    }

    // Last: the termination flag stays set for the rest of the process.
    void logoutWhileAskingKeepsTheFiles()
    {
        SessionFolderScope folder;
        MainWindowFixture f(false);
        f.enter(61'230);
        f.window.reset(); // killed, in effect: not ended by "Beenden?"
        const QByteArray before = fileBytes(folder.filePath(SessionProtocolName));
        QVERIFY(!before.isEmpty());

        // The signal comes while the question is open, and ends its dialog without an answer.
        struct LogoutBoxes : RecordingBoxes
        {
            bool yesNo(QWidget *, const QString &) override
            {
                ::raise(SIGTERM);
                for (QDeadlineTimer d(5000); !TerminationSignals::requested() && !d.hasExpired();)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
                return false;
            }
        } boxes;
        TerminationSignals termination;
        delete new TFormMain;
        QCOMPARE(fileBytes(folder.filePath(SessionProtocolName)), before);
        QVERIFY(QDir(folder.path()).entryList({QStringLiteral("protokoll-*")}).isEmpty());
    }
};

QTEST_MAIN(tst_Session)
#include "tst_session.moc"
