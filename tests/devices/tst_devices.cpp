#include "BoardLines.h"
#include "BoardPicture.h"
#include "FakeTickSource.h"
#include "LiveState.h"
#include "PseudoTerminal.h"
#include "Scoreboard.h"
#include "SerialLink.h"
#include "TimingDevice.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>


namespace {
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
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("atMs"); // when the run stood, or now while it runs
        QTest::addColumn<bool>("countdown");
        QTest::addColumn<QStringList>("faults"); // faults, time faults; none: the time board
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("ticking");
        using namespace BoardLines;
        const QString n = QStringLiteral("15");
        const QStringList time; // no faults: the time board
        const auto row = [](const char *name, RunPhase phase, int atMs) -> QTestData & {
            return QTest::newRow(name) << int(phase) << atMs;
        };
        // Idle, running, stopped and entered: the boards' test on a port walks them.
        row("countdown", RunPhase::Countdown, 10500)
            << true << time << runningSeconds(n, 3450) << true;
        row("no countdown", RunPhase::Countdown, 10500)
            << false << time << finalTime(n, -1, 0) << false;
        row("held", RunPhase::Held, 2000) << true << time << finalTime(n, 200, 0) << false;
        row("aborted", RunPhase::Aborted, 5000) << true << time << finalTime(n, 500, 0) << false;
        row("faults half typed", RunPhase::Entered, 100)
            << true << QStringList{"4,", ""} << faults(n, 4) << false;
        row("faults beyond the digits", RunPhase::Stopped, 100)
            << true << QStringList{"120", "3"} << faults(n, 99) << false;
    }
    void boardPictures()
    {
        QFETCH(int, phase);
        QFETCH(int, atMs);
        QFETCH(QStringList, faults);
        LiveSnapshot snapshot;
        snapshot.starter.startNumber = QStringLiteral("15");
        snapshot.result.rank = QStringLiteral("3.");
        if (!faults.isEmpty())
            snapshot.scoring = {faults[0], QStringLiteral("0"), faults[1], {}};
        LiveRun &run = snapshot.run;
        const quint32 t0 = 0xFFFFF000u; // the counter wraps during the run
        if (RunPhase(phase) == RunPhase::Countdown)
            run.giveCountdown(t0, 45000);
        else if (RunPhase(phase) != RunPhase::Idle)
            run.start(t0);
        if (RunPhase(phase) == RunPhase::Held)
            run.hold(t0 + atMs);
        if (RunPhase(phase) == RunPhase::Stopped || RunPhase(phase) == RunPhase::Entered)
            run.stop(t0 + atMs);
        if (RunPhase(phase) == RunPhase::Entered)
            run.enter();
        if (RunPhase(phase) == RunPhase::Aborted)
            run.abort(t0 + atMs);
        // A clock that stands shows its time whenever it is asked.
        const quint32 now = t0 + atMs + (run.standing && atMs ? 777 : 0);
        QFETCH(bool, countdown);
        const BoardPicture picture = boardPicture(
            snapshot, now, faults.isEmpty() ? BoardShows::Time : BoardShows::Faults, countdown);
        QTEST(picture.line, "line");
        QTEST(picture.ticking, "ticking");
    }

    // Lines written into the device's port arrive in batches stamped with their arrival, in the
    // layout of the device opened; a port that goes away is reported once and read again when back.
    void deviceReadsLines()
    {
        FakeTickSource clock(5000);
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("timer"));
        auto pty = std::make_unique<PseudoTerminal>();
        QVERIFY(QFile::link(pty->path, link));
        TimingDevice device;
        QSignalSpy opened(&device, &TimingDevice::opened);
        QSignalSpy failed(&device, &TimingDevice::failed);
        QSignalSpy read(&device, &TimingDevice::linesRead);
        device.open(link, TimerModel::Timy, 9600);
        QTRY_COMPARE(opened.count(), 1);
        // Unreadable lines, and what the window makes of them, are the window's test's business.
        QVERIFY(pty->write(" 0015 c0M 15:43:55,6200 00\r" + QByteArray(10000, '7') + '\r'));
        QTRY_COMPARE(received(read).size(), 2);
        const DeviceLines lines = received(read);
        QVERIFY(lines[0].line.keypad && lines[0].line.channel == TimerLine::StartChannel);
        QCOMPARE(lines[0].arrivalTick, 5000u);
        QCOMPARE(lines[1].line.fault, TimerLine::TooLong);

        device.open(link, TimerModel::Tdc8000, 9600);
        QTRY_COMPARE(opened.count(), 2);
        read.clear();
        QByteArray flood;
        for (int i = 0; i < 1000; ++i)
            flood += ' ' + QByteArray::number(i).rightJustified(4, '0') + "2C1  12:00:00.0000 00\r";
        QVERIFY(pty->write(flood));
        QTRY_COMPARE(received(read).size(), 1000);
        QCOMPARE(received(read).last().line.startNumber, 999);
        QCOMPARE(received(read).last().line.round, 2);
        QVERIFY(read.count() <= 200); // batches, not a signal per line

        pty.reset();
        QTRY_COMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), link);
        QFile::remove(link);
        QTest::qWait(SerialLink::RetryMs * 2); // tries that fail report nothing new
        QCOMPARE(failed.count(), 1);
        pty = std::make_unique<PseudoTerminal>();
        QVERIFY(QFile::link(pty->path, link));
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 3, SerialLink::RetryMs * 5);
        read.clear();
        QVERIFY(pty->write(" 00011C0  12:34:56.7890 00\r"));
        QTRY_COMPARE(received(read).size(), 1);
    }

    // Two boards follow the run: the time board its clock at the line's rate, the final time, the
    // rank, and the current line again when it is back; the other board the faults.
    void boardsShowTheRun()
    {
        FakeTickSource clock(1000);
        LiveState state;
        LiveSnapshot::Starter starter;
        starter.startNumber = QStringLiteral("7");
        state.setStarter(starter);
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("board"));
        auto pty = std::make_unique<PseudoTerminal>();
        PseudoTerminal faultsPty;
        QVERIFY(QFile::link(pty->path, link));
        Scoreboard board(state), faultsBoard(state);
        QSignalSpy failed(&board, &Scoreboard::failed);
        board.open(link, BoardShows::Time, true, 1200); // a line takes 192 ms
        faultsBoard.open(faultsPty.path, BoardShows::Faults, true);
        QTRY_COMPARE(pty->lastLine(), BoardLines::finalTime(QStringLiteral("7"), -1, 0));

        state.changeRun([&clock](LiveRun &run) { run.start(clock.now()); });
        const qsizetype idleLines = pty->lines.size();
        for (int t = 0; t < 3000; t += 10) {
            clock.advance(10);
            state.setInfo(QString::number(t)); // the picture changes far more often than that
            QTest::qWait(2);                   // lets the board's thread run
        }
        const QList<QByteArray> running = pty->read().mid(idleLines);
        QVERIFY(running.size() >= 3 && running.size() <= 3000 / 192 + 1);
        for (qsizetype i = 1; i < running.size(); ++i)
            QVERIFY(running[i] != running[i - 1] && running[i].mid(3, 1) == ".");
        clock.advance(234);
        state.changeRun([&clock](LiveRun &run) { run.stop(clock.now()); });
        clock.advance(500);
        QTRY_COMPARE(pty->lastLine(), BoardLines::finalTime(QStringLiteral("7"), 323, 0));
        {
            LiveState::Batch batch(state);
            state.setResult({{}, QStringLiteral("2."), {}});
            state.setScoring(
                {QStringLiteral("8"), QStringLiteral("0"), QStringLiteral("1,25"), {}});
            state.changeRun([](LiveRun &run) { run.enter(); });
        }
        clock.advance(200); // the line is free again
        const QByteArray entered = BoardLines::finalTime(QStringLiteral("7"), 323, 2);
        QTRY_COMPARE(pty->lastLine(), entered);
        QTRY_COMPARE(faultsPty.lastLine(), BoardLines::faults(QStringLiteral("7"), 9));

        pty.reset();
        QTRY_COMPARE(failed.count(), 1);
        pty = std::make_unique<PseudoTerminal>();
        QFile::remove(link);
        QVERIFY(QFile::link(pty->path, link));
        QTRY_VERIFY_WITH_TIMEOUT(!pty->read().isEmpty(), SerialLink::RetryMs * 5);
        QCOMPARE(pty->lines.first(), entered);
    }
};

QTEST_GUILESS_MAIN(tst_Devices)
#include "tst_devices.moc"
