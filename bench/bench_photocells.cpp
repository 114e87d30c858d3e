// Measures the photocell path: the delay from a line change to its handler on the GUI thread,
// the error of the run's time stamps against the change, and the CPU an open, quiet port uses.
// Usage: bench_photocells [changes] [port]   (default 1000 changes; with a port number, the quiet
// port is that real port through the system's serial layer instead of the fake one)

#include "ClockDisplay.h"
#include "Photocells.h"
#include "ResultsProtocol.h"
#include "RunControl.h"
#include "RunState.h"
#include "SerialPorts.h"
#include "Settings.h"
#include "TBitBtnWithColor.h"
#include "TComPort.h"
#include "TFormMain.h"
#include "TickSource.h"

#include "BenchApplication.h"
#include "BenchPhotocells.h"
#include <QAction>

#include <QApplication>
#include <QEventLoop>
#include <QMutex>
#include <QSettings>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <QWaitCondition>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

namespace {
constexpr double kDelayP99TargetMs = 2.0;
} // namespace

int main(int argc, char *argv[])
{
    BenchApplication app(argc, argv);
    const int total = argc > 1 ? std::max(2, atoi(argv[1])) : 1000;
    const int realPort = argc > 2 ? atoi(argv[2]) : 0;

    std::vector<Change> changes;
    changes.reserve(size_t(total));
    setSerialBackendFactory([&] { return std::make_unique<TogglingBackend>(changes, total); });

    // One photocell on COM1's DSR serves as start and finish; the run is entered and the next
    // one readied after each finish, so the clock runs while the edges come in.
    Settings.Timer = 0;
    TFormMain window;
    window.show();
    TFormMainUi &ui = window.ui;
    ui.TimerGesperrt->setInterval(0); // every counted edge must act, however close
    window.clock().startReveal();
    while (window.clock().revealing())
        window.clock().revealStep();
    ui.LockSTART1->trigger();

    // Quitting the application would ask the operator whether to end the program.
    QEventLoop loop;
    std::vector<double> delaysMs;
    std::vector<qint64> stampErrors;
    int starts = 0, stops = 0;
    ui.ComPort1->OnDSR = [&](TComPort *sender) {
        const Clock::time_point now = Clock::now();
        const Change &c = changes.at(delaysMs.size());
        delaysMs.push_back(std::chrono::duration<double, std::milli>(now - c.at).count());
        const bool wasRunning = ui.bSTOP->isEnabled();
        const bool couldStart = ui.bSTART->isEnabled();
        window.photocells().ComPortDSR(sender);
        if (couldStart && ui.bSTOP->isEnabled()) {
            ++starts;
            stampErrors.push_back(qint64(Run.RunStartTick) - qint64(c.tick));
            ui.LockSTOP1->trigger();
        } else if (wasRunning && !ui.bSTOP->isEnabled()) {
            ++stops;
            stampErrors.push_back(qint64(Run.RunStopTick) - qint64(c.tick));
            window.protocol().bRESETClick();
            ui.LockSTART1->trigger();
        }
        if (int(delaysMs.size()) == total)
            loop.quit();
    };
    ui.ComPort1->setPort(1);
    ui.ComPort1->Open();
    loop.exec();

    const auto worstStamp = std::max_element(stampErrors.begin(), stampErrors.end(),
                                             [](qint64 a, qint64 b) { return qAbs(a) < qAbs(b); });
    const double p99 = percentile(delaysMs, 0.99);
    std::printf("%d line changes, %d photocell starts, %d stops\n", total, starts, stops);
    std::printf("handler delay   p50 %.3f ms   p99 %.3f ms (target <= %.1f)   max %.3f ms%s\n",
                percentile(delaysMs, 0.5), p99, kDelayP99TargetMs,
                *std::max_element(delaysMs.begin(), delaysMs.end()),
                p99 <= kDelayP99TargetMs ? "" : "   OVER TARGET");
    std::printf("stamp error     max |%lld| ms (target 0)%s\n",
                worstStamp == stampErrors.end() ? 0LL : qAbs(*worstStamp),
                worstStamp == stampErrors.end() || *worstStamp == 0 ? "" : "   OVER TARGET");

    // A quiet open port costs nothing beyond what the idle window costs: its wait thread blocks
    // in the kernel. The real serial layer on COM1 where the machine has one.
    ui.ComPort1->Close();
    auto idleCpu = [&] {
        const double cpu0 = processCpuSeconds();
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
        return processCpuSeconds() - cpu0;
    };
    const double closedCpu = idleCpu();
    // The fake blocks until it is interrupted, as the kernel's wait does on a quiet line.
    setSerialBackendFactory([&] { return std::make_unique<TogglingBackend>(changes, 0); });
    QString layer = QStringLiteral("fake layer");
    if (realPort > 0) {
        setSerialBackendFactory(nullptr);
        ui.ComPort1->setPort(quint8(realPort));
        layer = serialDevicePath(realPort);
    }
    try {
        ui.ComPort1->Open();
    } catch (const std::exception &e) {
        std::printf("%s\n", e.what());
        return 1;
    }
    const double openCpu = idleCpu();
    std::printf("idle window, 2 s: port closed %.4f s CPU, port open (%s) %.4f s CPU\n", closedCpu,
                qPrintable(layer), openCpu);
    // Closing ends the wait thread, which sits in its wait.
    const Clock::time_point closing = Clock::now();
    ui.ComPort1->Close();
    std::printf("Close of the open port: %.3f ms (target <= 100)\n",
                std::chrono::duration<double, std::milli>(Clock::now() - closing).count());
    return 0;
}
