// Measures what the running clock costs: CPU time, digit repaints and the time of one refresh,
// first with the main window alone, then with the audience window shown at 1920 x 1080.
// Usage: bench_clock [seconds]   (default 20, for each of the two runs)

#include "ClockDisplay.h"
#include "ResultsProtocol.h"
#include "Screens.h"
#include "Settings.h"
#include "TDigit.h"
#include "TFormMain.h"
#include "TFormMonitor2.h"

#include "BenchApplication.h"
#include <QAction>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSettings>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <initializer_list>

namespace {
constexpr double kCpuTargetPercent = 1.5;
constexpr double kAudienceCpuTargetPercent = 3.0;
constexpr double kRepaintTarget = 111.0;
// Timer jitter moves the repaint rate a little; a miss of more than this means digits repaint
// that did not change, or changed digits do not repaint.
constexpr double kRepaintTolerance = 0.1;
constexpr qint64 kRefreshTargetNs = 1000000;
constexpr qint64 kAudienceRefreshTargetNs = 2000000;

int digitPaints(TFormMain &w)
{
    TFormMonitor2 &m = w.monitor();
    int sum = 0;
    for (const TDigit *d : {w.ui.Digit4, w.ui.Digit5, w.ui.Digit6, w.ui.Digit7, w.ui.Digit8,
                            m.Digit4, m.Digit5, m.Digit6, m.Digit7, m.Digit8})
        sum += d->paintCount();
    return sum;
}

const char *verdict(bool met)
{
    return met ? "" : "   OVER TARGET";
}

bool measure(TFormMain &w, double seconds, bool audience)
{
    qint64 refreshes = 0;
    qint64 totalNs = 0;
    qint64 longestNs = 0;
    qint64 overTarget = 0;
    const qint64 target = audience ? kAudienceRefreshTargetNs : kRefreshTargetNs;
    // The audience sees whole seconds while the clock runs: its units digit once a second, its
    // tens every ten seconds.
    const double repaintTarget = audience ? kRepaintTarget + 1.1 : kRepaintTarget;
    QMetaObject::Connection refresh = QObject::connect(w.ui.Clock, &QTimer::timeout, &w, [&] {
        QElapsedTimer t;
        t.start();
        w.clock().ClockTimer();
        const qint64 ns = t.nsecsElapsed();
        ++refreshes;
        totalNs += ns;
        longestNs = qMax(longestNs, ns);
        if (ns > target)
            ++overTarget;
    });

    w.ui.mStart->trigger();
    if (!w.ui.Clock->isActive()) {
        std::fprintf(stderr, "bench_clock: START did not start the clock\n");
        return false;
    }

    const int paints0 = digitPaints(w);
    const double cpu0 = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    // A coarse timer may end a long run up to 5 % late.
    // A local loop: quitting the application would first ask the operator "Beenden?".
    QEventLoop loop;
    QTimer::singleShot(qRound64(seconds * 1000.0), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = processCpuSeconds() - cpu0;
    const double running = double(wall.nsecsElapsed()) * 1e-9;
    const int paints = digitPaints(w) - paints0;
    w.ui.Clock->stop();
    QObject::disconnect(refresh);
    w.ui.mStop->trigger();
    w.protocol().bRESETClick(); // ready for the next run, straight to NEXT

    const double cpuPerSecond = cpu / running;
    const double cpuPercent = cpuPerSecond * 100.0;
    const double cpuTarget = audience ? kAudienceCpuTargetPercent : kCpuTargetPercent;
    const double repaintsPerSecond = double(paints) / running;
    const double meanUs = refreshes > 0 ? double(totalNs) / double(refreshes) / 1000.0 : 0.0;
    const double longestUs = double(longestNs) / 1000.0;
    const bool repaintsMet = repaintsPerSecond >= repaintTarget * (1.0 - kRepaintTolerance) &&
                             repaintsPerSecond <= repaintTarget * (1.0 + kRepaintTolerance);

    std::printf("clock refresh, %.1f s running, offscreen, %s\n", running,
                audience ? "audience window shown at 1920 x 1080" : "main window alone");
    std::printf("CPU: %.4f s per s (%.2f %% of one core)   target <= %.1f %%%s\n", cpuPerSecond,
                cpuPercent, cpuTarget, verdict(cpuPercent <= cpuTarget));
    std::printf("digit repaints: %.1f per s (%d in all)   target ~%.0f%s\n", repaintsPerSecond,
                paints, repaintTarget, verdict(repaintsMet));
    std::printf("refreshes: %lld (%.1f per s), mean %.1f us, longest %.1f us, %lld over target"
                "   target <= %lld us%s\n",
                static_cast<long long>(refreshes), double(refreshes) / running, meanUs, longestUs,
                static_cast<long long>(overTarget), static_cast<long long>(target / 1000),
                verdict(longestNs <= target));
    return true;
}
} // namespace

int main(int argc, char *argv[])
{
    BenchApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Ostrel"));
    QApplication::setApplicationName(QStringLiteral("Rittmeter"));

    double seconds = 20.0;
    const QStringList args = QApplication::arguments();
    if (args.size() > 2) {
        std::fprintf(stderr, "usage: bench_clock [seconds]\n");
        return 2;
    }
    if (args.size() == 2) {
        bool ok = false;
        seconds = args.at(1).toDouble(&ok);
        if (!ok || seconds <= 0.0 || seconds > 86400.0) {
            std::fprintf(stderr, "bench_clock: seconds must be a number above 0, got '%s'\n",
                         qPrintable(args.at(1)));
            return 2;
        }
    }

    TFormMain w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) {
        std::fprintf(stderr, "bench_clock: the main window was never exposed\n");
        return 1;
    }

    // Stepping by hand skips the slide's wall-clock wait; its end enables START.
    w.clock().startReveal();
    while (w.clock().revealing())
        w.clock().revealStep();
    QCoreApplication::processEvents();

    // The operator's screen and a TV beside it; the audience window goes to the TV.
    setScreenRects([] { return QList<QRect>{QRect(0, 0, 1280, 900), QRect(1280, 0, 1920, 1080)}; });
    Settings.Monitor = 1;
    QObject::disconnect(w.ui.Clock, &QTimer::timeout, &w.clock(), nullptr);
    for (bool audience : {false, true}) {
        if (audience) {
            w.ui.Monitor11->setChecked(true);
            if (!QTest::qWaitForWindowExposed(&w.monitor())) {
                std::fprintf(stderr, "bench_clock: the audience window was never exposed\n");
                return 1;
            }
        }
        if (!measure(w, seconds, audience))
            return 1;
    }
    return 0;
}
