#include "MainWindowFixture.h"

#include "LanguageTable.h"
#include "ProtocolRow.h"
#include "RunScoring.h"
#include "TimerLine.h"
#include "TimingDevice.h"
#include "TimingDevices.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
// A pseudo-terminal pair: the program opens path, the test writes and reads the other end. The
// test keeps the program's end open too, so the pair lives until the test closes it.
class Pty
{
public:
    Pty()
    {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            qFatal("no pseudo-terminal");
        termios mode{};
        tcgetattr(m_slave, &mode);
        cfmakeraw(&mode);
        tcsetattr(m_slave, TCSANOW, &mode);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        path = QString::fromLocal8Bit(name);
    }
    ~Pty() { closeMaster(), ::close(m_slave); }
    void closeMaster() { ::close(std::exchange(m_master, -1)); }

    void write(QByteArray bytes)
    {
        for (QDeadlineTimer guard(10000); !bytes.isEmpty() && !guard.hasExpired();) {
            const ssize_t n = ::write(m_master, bytes.constData(), size_t(bytes.size()));
            if (n > 0)
                bytes.remove(0, n);
            else
                QTest::qWait(5); // the program's end is full: its reader drains it
        }
    }
    // The lines received so far, without their CR.
    QList<QByteArray> lines()
    {
        char chunk[4096];
        for (ssize_t n; (n = ::read(m_master, chunk, sizeof chunk)) > 0;)
            m_received.append(chunk, n);
        QList<QByteArray> all = m_received.split('\r');
        all.removeLast(); // a line begun
        return all;
    }

    QString path;

private:
    int m_master = -1;
    int m_slave = -1;
    QByteArray m_received;
};

QByteArray timyLine(const QString &channel, const QString &stamp)
{
    return QString::asprintf(" 0017 %-3s %s 00", qPrintable(channel), qPrintable(stamp)).toLatin1();
}

// The bytes of a script's step, and how many lines they are and how many of them unreadable.
QByteArray stepBytes(const QString &step, int &lines, int &bad)
{
    const QStringList w = step.split(u' ');
    QByteArray bytes;
    const auto add = [&](const QByteArray &line, bool readable) {
        bytes += line + '\r';
        ++lines;
        bad += readable ? 0 : 1;
    };
    if (w[0] == QLatin1String("garbage"))
        add(QByteArray("\x01\xff#%&*~ \x1b[2J", 12), false);
    else if (w[0] == QLatin1String("long"))
        add(QByteArray(10000, 'A'), false);
    else if (w[0] == QLatin1String("badsum")) {
        const QByteArray line = timyLine("c0", "10:00:00.0000");
        add(line + (timerChecksum(line) == "00" ? "01" : "00"), false);
    } else if (w[0] == QLatin1String("unknown"))
        add(timyLine("X7", "10:00:00.0000"), false);
    else if (w[0] == QLatin1String("25:00"))
        add(timyLine("c1", "25:00:00.0000"), false);
    else if (w[0] == QLatin1String("flood"))
        for (int i = 0; i < 1000; ++i)
            add("#" + QByteArray::number(i) + " flood", false);
    else
        add(timyLine(w[0], w.value(1)), true);
    return bytes;
}

// The scoring the window needs to enter a run, and what each device line did.
struct DeviceHooks : RunHooks
{
    RunScoring *scoring = nullptr;
    int lines = 0;
    QString effects; // S start, P stop, L locked out, B before the start; nothing for none
    void UpdateRunTotal() override { scoring->UpdateRunTotal(); }
    void UpdateTimeFaults(qint32 ms) override { scoring->UpdateTimeFaults(ms); }
    void DeviceLineSeen(const DeviceLine &, const QString &, PhotocellImpulse::Effect effect,
                        qint32) override
    {
        ++lines;
        if (effect != PhotocellImpulse::None)
            effects += QLatin1Char(" SPLB"[effect]);
    }
};

// The time on a final-time board line "NNNCxxxxHH:MM:SS.zhtRR" in hundredths; -1 for another
// line. Leading zero groups may be blank.
int boardHundredths(const QByteArray &line)
{
    if (line.size() != 22 || line[3] != 'C')
        return -1;
    const QByteArray time = line.mid(8, 12);
    int seconds = 0;
    for (const QByteArray &group : time.left(8).split(':'))
        seconds = seconds * 60 + group.trimmed().toInt();
    return seconds * 100 + time.mid(9, 2).toInt();
}
} // namespace

// A timing device on a pseudo-terminal times the runs by its own stamps, in the real window;
// a board on another reads what the program shows.
class tst_DeviceTiming : public QObject
{
    Q_OBJECT

private:
    DeviceHooks m_hooks; // outlives every window
    std::unique_ptr<MainWindowFixture> m_f;
    std::unique_ptr<Pty> m_device;

    // The window with the device on m_device, or on devicePath.
    MainWindowFixture &window(const QString &boardPath = {}, const QString &devicePath = {})
    {
        m_device = std::make_unique<Pty>();
        m_f = std::make_unique<MainWindowFixture>(false);
        m_hooks = DeviceHooks{};
        m_hooks.scoring = &m_f->window->scoring();
        m_f->window->setHooks(&m_hooks);
        m_f->ui.cbStNr->setEditText(QStringLiteral("17"));
        Settings.DevPort = devicePath.isEmpty() ? m_device->path : devicePath;
        Settings.Board1Port = boardPath;
        m_f->window->timingDevices().apply();
        return *m_f;
    }
    QString status() const { return m_f->window->timingDevices().lDevices->text(); }

private Q_SLOTS:
    void init() { Settings = TSettings{}; }
    void cleanup()
    {
        m_f.reset();
        m_device.reset();
    }

    void competition_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QString>("effects");
        QTest::addColumn<int>("ms"); // the entered run's time; -1: none stopped
        QTest::newRow("armed start and finish")
            << QStringList{"F11", "F12", "c0 10:00:00.0000", "c1 10:01:05.4321"} << "SP" << 65432;
        QTest::newRow("across midnight")
            << QStringList{"F11", "F12", "c0 23:59:58.5000", "c1 00:01:03.2500"} << "SP" << 64750;
        QTest::newRow("a finish before the start")
            << QStringList{"F11", "F12", "c0 12:00:10.0000", "c1 12:00:05.0000", "c1 12:00:40.0099"}
            << "SBP" << 30009;
        QTest::newRow("start not armed")
            << QStringList{"F12", "c0 08:00:00.0000", "F11", "c0 08:00:01.0000", "c1 08:00:43.1234"}
            << "SP" << 42123;
        QTest::newRow("not armed for the finish")
            << QStringList{"F11", "c0 08:00:00.0000", "c1 08:00:43.1234"} << "S" << -1;
        QTest::newRow("lock-out") << QStringList{"F11", "F12", "c0 09:00:00.0000",
                                                 "c1 09:00:00.4000", "c1 09:00:50.0000"}
                                  << "SLP" << 50000;
        QTest::newRow("keypad unarmed")
            << QStringList{"c0M 10:00:00.0000", "c1M 10:00:10.5000"} << "SP" << 10500;
        QTest::newRow("bad input")
            << QStringList{"F11",     "F12",   "garbage", "c0 14:00:00.0000", "long", "badsum",
                           "unknown", "25:00", "flood",   "c1 14:00:59.9999"}
            << "SP" << 59999;
    }

    void competition()
    {
        QFETCH(QStringList, script);
        MainWindowFixture &f = window();
        QTRY_VERIFY(status().contains(m_device->path));
        int lines = 0;
        int bad = 0;
        for (const QString &step : script) {
            if (step.startsWith(u'F') && step.size() <= 3) {
                f.key(Qt::Key_F1 + step.mid(1).toInt() - 1);
                continue;
            }
            m_device->write(stepBytes(step, lines, bad));
            QTRY_COMPARE(m_hooks.lines, lines);
        }
        QTEST(m_hooks.effects, "effects");
        QFETCH(int, ms);
        QCOMPARE(f.ui.bSTOP->isEnabled(), ms < 0);
        if (ms < 0)
            return;
        QCOMPARE(f.elapsed(), ms);
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.cell(ColRideTime, 1), QString::asprintf("%d,%02d", ms / 1000, ms % 1000 / 10));
        // The unreadable lines are counted in the status bar, not shown one by one.
        if (bad > 1)
            QTRY_VERIFY(m_f->window->timingDevices().lDevices->toolTip().contains(
                LanguageText(LanguageLine::DeviceBadLines).arg(QString::number(bad))));
    }

    // The board follows the run and shows the entered time with its rank.
    void boardShowsRunAndResult()
    {
        Pty board;
        MainWindowFixture &f = window(board.path);
        QTRY_VERIFY(status().contains(
            LanguageText(LanguageLine::BoardConnected).arg(QStringLiteral("1"), board.path)));
        for (int k : {Qt::Key_F11, Qt::Key_F12})
            f.key(k);
        m_device->write(timyLine("c0", "11:00:00.0000") + '\r');
        QTRY_COMPARE(m_hooks.effects, QStringLiteral("S"));
        // Running, 2 s on the clock: the point after the start number, and the clock's tenths.
        f.tick(2000); // the board paces its lines by the clock too
        QTRY_VERIFY(!board.lines().isEmpty() && board.lines().last().startsWith(" 17."));
        QCOMPARE(board.lines().last().simplified().right(3), QByteArray("2.0"));
        m_device->write(timyLine("c1", "11:01:05.4399") + '\r');
        QTRY_COMPARE(m_hooks.effects, QStringLiteral("SP"));
        f.key(Qt::Key_V, Qt::ControlModifier);
        f.ticks.advance(1000);
        // The entered result: the protocol's time and rank.
        QTRY_VERIFY(!board.lines().isEmpty() && board.lines().last().startsWith(" 17C") &&
                    board.lines().last().mid(20).trimmed() == f.cell(ColRank, 1).toLatin1());
        const int shown = boardHundredths(board.lines().last());
        QCOMPARE(QString::asprintf("%d,%02d", shown / 100, shown % 100), f.cell(ColRideTime, 1));
    }

    // A device unplugged is said in the status bar; back at the same path it times again.
    void deviceComesBack()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("timer"));
        Pty first;
        QVERIFY(QFile::link(first.path, link));
        MainWindowFixture &f = window({}, link);
        QTRY_VERIFY(status().contains(LanguageText(LanguageLine::DeviceConnected).arg(link)));
        first.closeMaster();
        QTRY_VERIFY_WITH_TIMEOUT(
            status().startsWith(LanguageText(LanguageLine::DeviceGone).section(u'%', 0, 0) + link),
            5000);
        Pty second;
        QVERIFY(QFile::remove(link) && QFile::link(second.path, link));
        QTRY_VERIFY_WITH_TIMEOUT(
            status().contains(LanguageText(LanguageLine::DeviceConnected).arg(link)),
            3 * TimingDevice::RetryMs + 2000);
        f.key(Qt::Key_F11);
        second.write(timyLine("c0", "10:00:00.0000") + '\r');
        QTRY_COMPARE(m_hooks.effects, QStringLiteral("S"));
    }
};

QTEST_MAIN(tst_DeviceTiming)
#include "tst_devicetiming.moc"
