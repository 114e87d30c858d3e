#include "BoardLines.h"
#include "BoardPicture.h"
#include "FakeTickSource.h"
#include "LiveState.h"
#include "Scoreboard.h"
#include "TimerLineSplitter.h"
#include "TimingDevice.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
// A pseudo-terminal pair: the program opens the slave's path, the test works the master.
struct Pty
{
    int master = -1;
    QString path;
    QByteArray pending;
    QList<QByteArray> lines; // what the program wrote, line by line

    Pty()
    {
        int slave = -1;
        char name[128] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return;
        termios raw{};
        tcgetattr(master, &raw);
        cfmakeraw(&raw);
        tcsetattr(master, TCSANOW, &raw);
        fcntl(master, F_SETFL, O_NONBLOCK);
        ::close(slave);
        path = QString::fromLocal8Bit(name);
    }
    ~Pty() { hangUp(); }
    void hangUp()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    void write(const QByteArray &bytes)
    {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n = ::write(master, bytes.constData() + done, bytes.size() - done);
            if (n > 0) {
                done += n;
            } else if (errno == EAGAIN) {
                pollfd p{master, POLLOUT, 0};
                ::poll(&p, 1, 100);
            } else {
                QFAIL("the pseudo-terminal takes no more");
            }
        }
    }
    const QList<QByteArray> &read()
    {
        char buffer[4096];
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            pending.append(buffer, n);
        for (qsizetype end; (end = pending.indexOf('\r')) >= 0; pending.remove(0, end + 1))
            lines.append(pending.left(end));
        return lines;
    }
};

// What a board line shows, read by column as a GAZ board reads it; blank digits count 0.
struct Shown
{
    QString number;
    bool running = false;
    qint32 hundredths = 0;
    int rank = 0;
};
Shown shown(const QByteArray &line)
{
    const auto digits = [&line](int at, int count) {
        return line.mid(at, count).trimmed().toInt();
    };
    return {QString::fromLatin1(line.left(3).trimmed()), line.size() > 3 && line.at(3) == '.',
            ((digits(8, 2) * 60 + digits(11, 2)) * 60 + digits(14, 2)) * 100 + digits(17, 1) * 10 +
                digits(18, 1),
            digits(20, 2)};
}

DeviceLines received(QSignalSpy &spy)
{
    DeviceLines lines;
    for (const QList<QVariant> &signal : spy)
        lines += signal.at(0).value<DeviceLines>();
    return lines;
}
} // namespace

class tst_Devices : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void boardPictures_data()
    {
        QTest::addColumn<bool>("faultsBoard");
        QTest::addColumn<bool>("countdown");
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("atMs"); // when the run stood, or now while it runs
        QTest::addColumn<QString>("faults");
        QTest::addColumn<QString>("timeFaults");
        QTest::addColumn<char>("format"); // t tenths, s seconds, f final, x faults
        QTest::addColumn<int>("hundredths");
        QTest::addColumn<int>("number"); // rank or faults
        QTest::addColumn<bool>("ticking");
        const auto row = [](const char *name, bool faultsBoard, bool countdown, RunPhase phase,
                            int atMs, const char *faults, const char *timeFaults, char format,
                            int hundredths, int number, bool ticking) {
            QTest::newRow(name) << faultsBoard << countdown << int(phase) << atMs
                                << QString::fromLatin1(faults) << QString::fromLatin1(timeFaults)
                                << format << hundredths << number << ticking;
        };
        row("idle: the next starter", false, true, RunPhase::Idle, 0, "0", "", 'f', -1, 0, false);
        row("running", false, true, RunPhase::Running, 12345, "0", "", 't', 1234, 0, true);
        row("countdown", false, true, RunPhase::Countdown, 10500, "0", "", 's', 3450, 0, true);
        row("countdown not shown", false, false, RunPhase::Countdown, 10500, "0", "", 'f', -1, 0,
            false);
        row("held", false, true, RunPhase::Held, 2000, "0", "", 'f', 200, 0, false);
        row("stopped", false, true, RunPhase::Stopped, 6789, "0", "", 'f', 678, 0, false);
        row("entered: the rank", false, true, RunPhase::Entered, 6789, "0", "", 'f', 678, 3, false);
        row("aborted", false, true, RunPhase::Aborted, 5000, "0", "", 'f', 500, 0, false);
        row("faults and time faults", true, true, RunPhase::Running, 100, "4", "1,25", 'x', 0, 5,
            false);
        row("faults half typed", true, true, RunPhase::Entered, 100, "4,", "", 'x', 0, 4, false);
        row("faults beyond the digits", true, true, RunPhase::Stopped, 100, "120", "3", 'x', 0, 99,
            false);
    }
    void boardPictures()
    {
        QFETCH(bool, faultsBoard);
        QFETCH(bool, countdown);
        QFETCH(int, phase);
        QFETCH(int, atMs);
        QFETCH(char, format);
        QFETCH(int, hundredths);
        QFETCH(int, number);
        LiveSnapshot snapshot;
        snapshot.starter.startNumber = QStringLiteral("15");
        QFETCH(QString, faults);
        QFETCH(QString, timeFaults);
        snapshot.scoring.faults = faults;
        snapshot.scoring.timeFaults = timeFaults;
        snapshot.result.rank = QStringLiteral("3.");
        LiveRun &run = snapshot.run;
        const quint32 t0 = 0xFFFFF000u; // the counter wraps during the run
        if (RunPhase(phase) == RunPhase::Countdown) {
            run.giveCountdown(t0, 45000);
        } else if (RunPhase(phase) != RunPhase::Idle) {
            run.start(t0);
            if (RunPhase(phase) == RunPhase::Held)
                run.hold(t0 + atMs);
            if (RunPhase(phase) == RunPhase::Stopped || RunPhase(phase) == RunPhase::Entered)
                run.stop(t0 + atMs);
            if (RunPhase(phase) == RunPhase::Entered)
                run.enter();
            if (RunPhase(phase) == RunPhase::Aborted)
                run.abort(t0 + atMs);
        }
        // A clock that stands shows its time whenever it is asked.
        const quint32 now = t0 + atMs + (run.standing && atMs ? 777 : 0);
        const BoardPicture picture = boardPicture(
            snapshot, now, faultsBoard ? BoardShows::Faults : BoardShows::Time, countdown);
        const QString n = snapshot.starter.startNumber;
        const QByteArray expected = format == 't'   ? BoardLines::runningTenths(n, hundredths)
                                    : format == 's' ? BoardLines::runningSeconds(n, hundredths)
                                    : format == 'x' ? BoardLines::faults(n, number)
                                                    : BoardLines::finalTime(n, hundredths, number);
        QCOMPARE(picture.line, expected);
        QTEST(picture.ticking, "ticking");
    }

    // Lines written into the device's port arrive in batches, stamped with their arrival.
    void deviceReadsLines()
    {
        FakeTickSource clock(5000);
        Pty pty;
        TimingDevice device;
        QSignalSpy opened(&device, &TimingDevice::opened);
        QSignalSpy read(&device, &TimingDevice::linesRead);
        device.open(pty.path, TimerModel::Timy, 9600);
        QTRY_COMPARE(opened.count(), 1);
        pty.write(" 0015 c0M 15:43:55,6200 00\r\n#~garbage\r" + QByteArray(10000, '7') +
                  "\r 0016 c1  15:44:55.6200 00\r");
        QTRY_COMPARE(received(read).size(), 4);
        DeviceLines lines = received(read);
        QCOMPARE(lines[0].line.channel, TimerLine::StartChannel);
        QVERIFY(lines[0].line.keypad);
        QCOMPARE(lines[0].arrivalTick, 5000u);
        QVERIFY(lines[0].arrival.isValid());
        QCOMPARE(lines[1].line.fault, TimerLine::Garbage);
        QCOMPARE(lines[2].line.fault, TimerLine::TooLong);
        QVERIFY(lines[2].line.raw.size() <= TimerLineSplitter::MaxLine);
        QCOMPARE(lines[3].line.channel, TimerLine::FinishChannel);
        QCOMPARE(lines[3].line.startNumber, 16);

        // The same port with another device's layout: the new one reads it.
        device.open(pty.path, TimerModel::Tdc8000, 9600);
        QTRY_COMPARE(opened.count(), 2);
        read.clear();
        QByteArray flood;
        for (int i = 0; i < 1000; ++i)
            flood += ' ' + QByteArray::number(i).rightJustified(4, '0') + "2C1  12:00:00.0000 00\r";
        pty.write(flood);
        QTRY_COMPARE(received(read).size(), 1000);
        lines = received(read);
        for (int i = 0; i < 1000; ++i) {
            QCOMPARE(lines[i].line.startNumber, i);
            QCOMPARE(lines[i].line.round, 2);
        }
        QVERIFY2(read.count() <= 200, qPrintable(QString::number(read.count())));
    }

    // The device's cable pulled and put back: one failure, then open again and reading.
    void deviceComesBack()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("timer"));
        auto pty = std::make_unique<Pty>();
        QVERIFY(QFile::link(pty->path, link));
        TimingDevice device;
        QSignalSpy opened(&device, &TimingDevice::opened);
        QSignalSpy failed(&device, &TimingDevice::failed);
        QSignalSpy read(&device, &TimingDevice::linesRead);
        device.open(link, TimerModel::Timy, 9600);
        QTRY_COMPARE(opened.count(), 1);
        pty.reset();
        QTRY_COMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), link);
        QFile::remove(link);
        QTest::qWait(TimingDevice::RetryMs * 2); // tries that fail report nothing new
        QCOMPARE(failed.count(), 1);
        pty = std::make_unique<Pty>();
        QVERIFY(QFile::link(pty->path, link));
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 2, TimingDevice::RetryMs * 5);
        pty->write(" 0001 C0  12:34:56.7890 00\r");
        QTRY_COMPARE(received(read).size(), 1);
        QCOMPARE(received(read).at(0).line.fault, TimerLine::NoFault);
    }

    // Two boards follow the run: the time board its clock, rank and return, the other the faults.
    void boardsShowTheRun()
    {
        FakeTickSource clock(1000);
        LiveState state;
        LiveSnapshot::Starter starter;
        starter.startNumber = QStringLiteral("7");
        state.setStarter(starter);
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("board"));
        auto pty = std::make_unique<Pty>();
        Pty faultsPty;
        QVERIFY(QFile::link(pty->path, link));
        Scoreboard board(state), faultsBoard(state);
        QSignalSpy failed(&board, &Scoreboard::failed);
        board.open(link, BoardShows::Time, true);
        faultsBoard.open(faultsPty.path, BoardShows::Faults, true);
        const auto last = [](Pty &p) {
            return p.read().isEmpty() ? Shown{} : shown(p.lines.last());
        };

        QTRY_COMPARE(last(*pty).number, QStringLiteral("7"));
        QVERIFY(!last(*pty).running);
        state.changeRun([&clock](LiveRun &run) { run.start(clock.now()); });
        clock.advance(1234);
        QTRY_COMPARE(last(*pty).hundredths, 120);
        QVERIFY(last(*pty).running);
        clock.advance(2000);
        state.changeRun([&clock](LiveRun &run) { run.stop(clock.now()); });
        clock.advance(500);
        QTRY_VERIFY(!last(*pty).running);
        QCOMPARE(last(*pty).hundredths, 323);
        QCOMPARE(last(*pty).rank, 0);
        {
            LiveState::Batch batch(state);
            LiveSnapshot::Result result;
            result.rank = QStringLiteral("2.");
            state.setResult(result);
            LiveSnapshot::Scoring scoring;
            scoring.faults = QStringLiteral("8");
            scoring.timeFaults = QStringLiteral("1,25");
            state.setScoring(scoring);
            state.changeRun([](LiveRun &run) { run.enter(); });
        }
        clock.advance(100); // the line is free again
        QTRY_COMPARE(last(*pty).rank, 2);
        QCOMPARE(last(*pty).hundredths, 323);
        QTRY_COMPARE(last(faultsPty).rank, 9);
        QCOMPARE(last(faultsPty).number, QStringLiteral("7"));

        pty->hangUp();
        QTRY_COMPARE(failed.count(), 1);
        pty = std::make_unique<Pty>();
        QFile::remove(link);
        QVERIFY(QFile::link(pty->path, link));
        QTRY_VERIFY_WITH_TIMEOUT(!pty->read().isEmpty(), Scoreboard::RetryMs * 5);
        QCOMPARE(shown(pty->lines.first()).rank, 2);
        QCOMPARE(shown(pty->lines.first()).hundredths, 323);
    }

    // However often the picture changes, the lines go out no faster than the line carries them.
    void boardRate_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("rateMs");
        QTest::newRow("2400") << 2400 << 100;
        QTest::newRow("1200") << 1200 << 192;
    }
    void boardRate()
    {
        QFETCH(int, baud);
        QFETCH(int, rateMs);
        FakeTickSource clock(1000);
        LiveState state;
        Pty pty;
        Scoreboard board(state);
        QSignalSpy sent(&board, &Scoreboard::lineSent);
        board.open(pty.path, BoardShows::Time, true, baud);
        QTRY_COMPARE(sent.count(), 1);
        state.changeRun([&clock](LiveRun &run) { run.start(clock.now()); });
        const int spanMs = 3000;
        for (int t = 0; t < spanMs; t += 10) {
            clock.advance(10);
            state.setInfo(QString::number(t));
            QTest::qWait(2); // lets the board's thread run
        }
        QVERIFY2(sent.count() - 1 <= spanMs / rateMs + 1,
                 qPrintable(QString::number(sent.count())));
        QVERIFY(sent.count() - 1 >= spanMs / rateMs / 4);
        for (int i = 2; i < sent.count(); ++i)
            QVERIFY(shown(sent.at(i).at(0).toByteArray()).hundredths >
                    shown(sent.at(i - 1).at(0).toByteArray()).hundredths);
    }
};

QTEST_GUILESS_MAIN(tst_Devices)
#include "tst_devices.moc"
