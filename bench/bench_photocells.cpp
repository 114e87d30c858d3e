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
using Clock = std::chrono::steady_clock;

constexpr double kDelayP99TargetMs = 2.0;

struct Change
{
    quint32 tick = 0;
    Clock::time_point at;
};

// A start photocell on DSR that the wait thread itself toggles, a few milliseconds apart, until
// `total` changes are made; then it stays quiet until interrupted.
class TogglingBackend : public SerialBackend
{
public:
    TogglingBackend(std::vector<Change> &changes, int total) : m_changes(changes), m_total(total) {}

    bool present(int) override { return true; }
    bool open(int) override { return true; }
    bool configure(const SerialLineSettings &) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    QString errorText() const override { return {}; }
    quint32 modemStatus() override { return m_lines; }
    int inQueue() override { return 0; }
    void purge() override {}

    WaitResult waitForEvent(quint32, quint32 *fired) override
    {
        QMutexLocker lock(&m_mutex);
        const bool more = int(m_changes.size()) < m_total;
        const int pauseMs = more ? std::uniform_int_distribution<int>(4, 12)(m_random) : -1;
        if (!m_interrupted)
            m_wake.wait(&m_mutex, pauseMs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(pauseMs));
        if (m_interrupted || !more)
            return WaitResult::Interrupted;
        // The change lands at the start of a millisecond, as a real edge may.
        const quint32 before = tickNow();
        while (tickNow() == before) {
        }
        m_lines ^= 0x20;
        m_changes.push_back({tickNow(), Clock::now()});
        *fired = 0x10; // DSR
        return WaitResult::Event;
    }
    void interruptWait() override
    {
        QMutexLocker lock(&m_mutex);
        m_interrupted = true;
        m_wake.wakeAll();
    }

private:
    std::vector<Change> &m_changes;
    const int m_total;
    std::atomic<quint32> m_lines{0};
    QMutex m_mutex;
    QWaitCondition m_wake;
    bool m_interrupted = false;
    std::mt19937 m_random{4711};
};

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}
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
