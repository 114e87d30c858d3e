// Measures the timing device's path and a fed scoreboard in the running program: the delay from
// a finish line written to the device's port to the run stopped and shown, the recorded time
// against the stamps' difference, and the clock refresh while a board is fed.
// Usage: bench_devices [runs] [seconds]   (default 1000 runs, then 10 s of a fed board)

#include "ClockDisplay.h"
#include "DeviceImpulses.h"
#include "LiveState.h"
#include "ResultsProtocol.h"
#include "RunState.h"
#include "Settings.h"
#include "TFormMain.h"
#include "TImage.h"
#include "TimingDevice.h"
#include "TimingDevices.h"

#include "BenchApplication.h"
#include "BenchPhotocells.h"
#include "PseudoTerminal.h"

#include <QAction>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>

namespace {
constexpr double kDelayP99TargetMs = 2.0;
constexpr qint64 kRefreshTargetNs = 1000000;
constexpr qint64 Day = 864000000; // 1/10,000 s

// " 0001 c0  HH:MM:SS.zhtq 00" with its CR.
QByteArray timyLine(int channel, qint64 stamp)
{
    const qint64 s = stamp / 10000;
    return QString::asprintf(" 0001 c%d  %02lld:%02lld:%02lld.%04lld 00\r", channel, s / 3600,
                             s / 60 % 60, s % 60, stamp % 10000)
        .toLatin1();
}

const char *verdict(bool met)
{
    return met ? "" : "   OVER TARGET";
}
} // namespace

int main(int argc, char *argv[])
{
    BenchApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const int boardSeconds = argc > 2 ? std::max(1, atoi(argv[2])) : 10;

    PseudoTerminal device, board;
    if (device.path.isEmpty() || board.path.isEmpty()) {
        std::fprintf(stderr, "bench_devices: no pseudo-terminal\n");
        return 1;
    }
    Settings.Timer = 0;
    Settings.DevPort = device.path;
    Settings.DevType = QStringLiteral("timy");
    Settings.Board1Port = board.path;
    Settings.Board1Shows = QStringLiteral("zeit");
    TFormMain window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "bench_devices: the window was not shown\n");
        return 1;
    }
    TFormMainUi &ui = window.ui;
    ui.TimerGesperrt->setInterval(0); // every impulse must act, however close
    window.clock().startReveal();
    while (window.clock().revealing())
        window.clock().revealStep();
    window.timingDevices().apply();

    // The board's lines are read as a board would, and counted.
    std::atomic<bool> reading{true};
    std::atomic<int> boardLines{0};
    std::thread boardReader([&] {
        while (reading)
            boardLines = int(board.read(100).size());
    });

    // The device: a start line, and once the run runs, the finish line some 30 to 90 s of the
    // device's time later; starts spread over the day, midnight included.
    std::mt19937 random(29);
    std::mutex mutex;
    std::condition_variable cv;
    int step = 0; // 0: write a start, 1: wait, 2: write a finish, 3: wait, 4: end
    qint64 startStamp = 0, runTime = 0;
    Clock::time_point finishWritten;
    std::thread feeder([&] {
        for (int r = 0; r < runs; ++r) {
            std::unique_lock lock(mutex);
            cv.wait(lock, [&] { return step == 0 || step == 4; });
            if (step == 4)
                return;
            startStamp = r % 10 == 0 ? Day - 1 - qint64(random() % 500000)
                                     : qint64(random() % Day);
            runTime = 300000 + qint64(random() % 600000);
            step = 1;
            const QByteArray start = timyLine(0, startStamp);
            lock.unlock();
            if (!device.write(start))
                return;
            lock.lock();
            cv.wait(lock, [&] { return step == 2 || step == 4; });
            if (step == 4)
                return;
            step = 3;
            const QByteArray finish = timyLine(1, (startStamp + runTime) % Day);
            finishWritten = Clock::now();
            lock.unlock();
            if (!device.write(finish))
                return;
        }
    });

    QEventLoop loop;
    std::vector<double> delaysMs;
    std::vector<qint64> stampErrors;
    auto advance = [&](int next) {
        {
            std::lock_guard lock(mutex);
            step = next;
        }
        cv.notify_one();
    };
    ui.LockSTART1->trigger();
    // When the lines reach the run on the GUI thread: the rest of the delay is the STOP itself.
    qint64 reachedNs = 0;
    std::vector<double> handOffMs;
    TimingDevice &timer = window.timingDevices().device();
    DeviceImpulses &impulses = window.deviceImpulses();
    QObject::disconnect(&timer, &TimingDevice::linesRead, &impulses, nullptr);
    QObject::connect(&timer, &TimingDevice::linesRead, &impulses, [&](const DeviceLines &lines) {
        reachedNs = Clock::now().time_since_epoch().count();
        impulses.linesRead(lines);
    });
    QObject::connect(&window.live(), &LiveState::runChanged, &window, [&] {
        const RunPhase phase = window.live().snapshot()->run.phase;
        if (phase == RunPhase::Running && ui.ImageLSstop->tag() == 0) {
            ui.LockSTOP1->trigger();
            advance(2);
        } else if (phase == RunPhase::Stopped) {
            const Clock::time_point shown = Clock::now();
            qint64 expectedMs = 0;
            {
                std::lock_guard lock(mutex);
                delaysMs.push_back(
                    std::chrono::duration<double, std::milli>(shown - finishWritten).count());
                expectedMs = runTime / 10;
                handOffMs.push_back(
                    double(reachedNs - finishWritten.time_since_epoch().count()) / 1e6);
            }
            stampErrors.push_back(ticksBetween(Run.RunStartTick, Run.RunStopTick) - expectedMs);
            if (int(delaysMs.size()) == runs) {
                loop.quit();
                return;
            }
            window.protocol().bRESETClick();
            ui.LockSTART1->trigger();
            advance(0);
        }
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    timeout.start(std::max(60000, runs * 100));
    loop.exec();
    timeout.stop();
    advance(4);
    feeder.join();

    if (delaysMs.empty()) {
        std::fprintf(stderr, "bench_devices: no run was timed by the device\n");
        return 1;
    }
    qint64 worst = 0;
    for (qint64 e : stampErrors)
        worst = std::max(worst, qAbs(e));
    const double p99 = percentile(delaysMs, 0.99);
    std::printf("%zu of %d runs timed by the device's stamps (every tenth across midnight)\n",
                delaysMs.size(), runs);
    std::printf("finish line to run stopped and shown   p50 %.3f ms   p99 %.3f ms (target <= %.1f)"
                "   max %.3f ms%s\n",
                percentile(delaysMs, 0.5), p99, kDelayP99TargetMs,
                *std::max_element(delaysMs.begin(), delaysMs.end()),
                verdict(p99 <= kDelayP99TargetMs && int(delaysMs.size()) == runs));
    std::printf("  of which the hand-off to the GUI thread   p50 %.3f ms   p99 %.3f ms\n",
                percentile(handOffMs, 0.5), percentile(handOffMs, 0.99));
    std::printf("stamp error   max |%lld| ms (target 0)%s\n", worst, verdict(worst == 0));

    // The clock runs while the board is fed its running time, and for comparison with no board.
    // The refresh is timed in the clock's place, not called a second time after it.
    QObject::disconnect(ui.Clock, &QTimer::timeout, &window.clock(), nullptr);
    auto clockRuns = [&](const char *label) {
        qint64 refreshes = 0, longestNs = 0;
        QMetaObject::Connection refresh =
            QObject::connect(ui.Clock, &QTimer::timeout, &window, [&] {
                QElapsedTimer t;
                t.start();
                window.clock().ClockTimer();
                longestNs = qMax(longestNs, t.nsecsElapsed());
                ++refreshes;
            });
        window.protocol().bRESETClick();
        // The window settles first: a port's word in the status bar is painted outside the run.
        QTimer::singleShot(500, &loop, &QEventLoop::quit);
        loop.exec();
        ui.mStart->trigger();
        const int lines0 = boardLines;
        QTimer::singleShot(boardSeconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        const int fed = boardLines - lines0;
        QObject::disconnect(refresh);
        ui.mStop->trigger();
        std::printf("%s: board fed %d lines in %d s (%.1f per s); clock refresh: %lld, longest "
                    "%.3f ms (target <= 1)%s\n",
                    label, fed, boardSeconds, double(fed) / boardSeconds,
                    static_cast<long long>(refreshes), double(longestNs) / 1e6,
                    verdict(longestNs <= kRefreshTargetNs));
        return fed;
    };
    const bool fed = clockRuns("board on") > 0;
    Settings.Board1Port.clear();
    window.timingDevices().apply();
    clockRuns("board off");
    if (!fed)
        std::printf("the board was fed nothing   OVER TARGET\n");

    window.timingDevices().closeAll();
    reading = false;
    boardReader.join();
    return 0;
}
