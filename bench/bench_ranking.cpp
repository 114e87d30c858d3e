// Measures the ranking of large protocols in the real grid: RankProtocol alone, and one whole
// EINTRAGEN (row built, stored, ranked, widths set, row selected, window repainted). Then, with
// the protocol kept on the disk as in the program, the next rider's running clock while the
// entry before is being saved: the longest refresh, the longest stretch the GUI thread spent
// on anything else, and the entries. Last, a snapshot of the live state with 2,000 rows.
// Usage: bench_ranking   (run with QT_QPA_PLATFORM=offscreen on a machine without a display)

#include "ClockDisplay.h"
#include "LiveState.h"
#include "MessageBoxes.h"
#include "ProtocolGrid.h"
#include "ProtocolRow.h"
#include "ResultsProtocol.h"
#include "RunControl.h"
#include "SessionKeeper.h"
#include "SessionWriter.h"
#include "TFormMain.h"
#include "TSortGrid.h"

#include "BenchApplication.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {
constexpr double kEntryTarget2000Ms = 10.0;
constexpr double kEntryTarget20000Ms = 150.0;
constexpr double kRankTarget20000Ms = 25.0;
constexpr double kKeptEntryMedianMs = 5.0;
constexpr double kKeptEntryLongestMs = 10.0;
constexpr double kSnapshotTargetMs = 1.0;
constexpr double kRefreshTargetMs = 1.0;
constexpr int kKeptRounds = 30;

// A protocol as a competition leaves it: mostly clear or four-fault rounds, some aborts and a
// few starters still to come.
QList<QStringList> protocol(int rows, QRandomGenerator &random)
{
    QList<QStringList> data;
    data.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        QStringList row(ProtocolColumnCount);
        row[ColStartNumber] = QString::number(r + 1);
        row[ColHeadNumber] = QString::number(random.bounded(1, 999));
        row[ColHorse] = QStringLiteral("Pferd %1").arg(r);
        row[ColRider] = QStringLiteral("Reiter %1").arg(r);
        row[ColClub] = QStringLiteral("Verein %1").arg(r % 97);
        const int kind = random.bounded(100);
        if (kind < 5) {
            for (int c : {ColRideTime, ColPoints, ColTotalTime})
                row[c] = kind < 3 ? QStringLiteral("EL") : QStringLiteral("Ret.");
        } else if (kind >= 97) {
            // a starter without a result
        } else {
            const int cs = random.bounded(5500, 9000);
            const QString time =
                QStringLiteral("%1,%2").arg(cs / 100).arg(cs % 100, 2, 10, QLatin1Char('0'));
            row[ColRideTime] = time;
            row[ColTimeFaults] = QStringLiteral("0,00");
            row[ColPenalty] = row[ColFaults] = QString::number(4 * random.bounded(3));
            row[ColPoints] = row[ColFaults] + QStringLiteral(",00");
            row[ColTotalTime] = time;
        }
        data.append(row);
    }
    return data;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Entries into a 2,000-row protocol, each followed by the next rider's run for 300 ms while the
// protocol is saved: the clock refreshed by hand every 10 ms, every refresh and every stretch
// of other work on the GUI thread (the save's snapshot among them) timed.
bool keptWhileRunning(TFormMain &window, QRandomGenerator &random)
{
    TSortGrid *grid = window.ui.SortGrid1;
    grid->setDataRows(protocol(2000, random));
    SessionWriter &writer = window.session()->writer();
    QList<double> entryMs;
    double longestRefresh = 0;
    double longestOther = 0;
    int refreshes = 0;
    for (int round = 0; round < kKeptRounds; ++round) {
        window.ui.cbStNr->setEditText(QStringLiteral("K%1").arg(round));
        window.run().mStartClick();
        window.run().mStopClick();
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        window.protocol().mEintragenClick();
        QCoreApplication::processEvents();
        entryMs << t.nsecsElapsed() / 1e6;
        window.protocol().bRESETClick();
        window.run().mStartClick();
        QElapsedTimer run;
        run.start();
        qint64 nextRefresh = 0;
        while (run.elapsed() < 300) {
            t.restart();
            QCoreApplication::processEvents();
            longestOther = std::max(longestOther, t.nsecsElapsed() / 1e6);
            if (run.elapsed() >= nextRefresh) {
                t.restart();
                window.clock().ClockTimer();
                longestRefresh = std::max(longestRefresh, t.nsecsElapsed() / 1e6);
                ++refreshes;
                nextRefresh += 10;
            }
        }
        window.run().mStopClick();
        QCoreApplication::processEvents();
    }
    // The save's two halves: the snapshot on the GUI thread, the files on the writer's.
    QList<double> snapshotMs, writeMs;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer t;
        t.start();
        const QList<QStringList> rows = window.live().snapshot()->protocol;
        snapshotMs << t.nsecsElapsed() / 1e6;
        t.restart();
        writer.keepSession(rows, {});
        writer.waitWritten(QDeadlineTimer(10'000));
        writeMs << t.nsecsElapsed() / 1e6;
    }
    const double entry = *std::max_element(entryMs.cbegin(), entryMs.cend());
    const bool met = median(entryMs) <= kKeptEntryMedianMs && entry <= kKeptEntryLongestMs &&
                     longestRefresh <= kRefreshTargetMs;
    std::printf("\nkept on the disk, 2000 rows, %d entries, %d refreshes while saving:\n",
                kKeptRounds, refreshes);
    std::printf("  EINTRAGEN median %.2f ms (target %.0f), longest %.2f ms (target %.0f)\n",
                median(entryMs), kKeptEntryMedianMs, entry, kKeptEntryLongestMs);
    std::printf("  clock refresh longest %.3f ms (target %.0f)\n", longestRefresh,
                kRefreshTargetMs);
    std::printf("  other work on the GUI thread, longest stretch %.2f ms\n", longestOther);
    std::printf("  save: snapshot %.2f ms on the GUI thread, files %.2f ms on the writer's\n",
                median(snapshotMs), median(writeMs));
    return met;
}
} // namespace

int main(int argc, char **argv)
{
    BenchApplication app(argc, argv);
    SilentBoxes boxes;
    setMessageBoxes(&boxes);
    QTemporaryDir sessionDir;
    setSessionFolder(sessionDir.path());
    TFormMain window;
    window.resize(1024, 700);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 2;
    TSortGrid *grid = window.ui.SortGrid1;
    QRandomGenerator random(20261206);
    bool met = true;

    std::printf("%8s %16s %16s %12s\n", "rows", "RankProtocol ms", "EINTRAGEN ms", "targets ms");
    for (int rows : {200, 2000, 20000}) {
        grid->setDataRows(protocol(rows, random));
        QList<double> rankMs, entryMs;
        for (int round = 0; round < 7; ++round) {
            QElapsedTimer t;
            t.start();
            window.protocolGrid().RankProtocol();
            rankMs << t.nsecsElapsed() / 1e6;

            // One rider more, through the real commands: START, STOP, EINTRAGEN.
            window.ui.cbStNr->setEditText(QStringLiteral("N%1").arg(round));
            window.run().mStartClick();
            window.run().mStopClick();
            QCoreApplication::processEvents();
            t.restart();
            window.protocol().mEintragenClick();
            QCoreApplication::processEvents();
            entryMs << t.nsecsElapsed() / 1e6;
            window.protocol().bRESETClick();
        }
        const double entry = median(entryMs);
        const double target = rows == 2000    ? kEntryTarget2000Ms
                              : rows == 20000 ? kEntryTarget20000Ms
                                              : 0.0;
        if ((target > 0 && entry > target) ||
            (rows == 20000 && median(rankMs) > kRankTarget20000Ms))
            met = false;
        std::printf("%8d %16.2f %16.2f %12s\n", rows, median(rankMs), entry,
                    rows == 20000
                        ? qPrintable(QStringLiteral("%1 / %2").arg(kRankTarget20000Ms).arg(target))
                    : target > 0 ? qPrintable(QStringLiteral("- / %1").arg(target))
                                 : "-");
    }
    met = keptWhileRunning(window, random) && met;

    // Taken while the grid keeps changing: each take after a change of the protocol.
    QList<double> takeMs;
    for (int i = 0; i < 200; ++i) {
        grid->setCells(ColClub, 1 + i, QStringLiteral("Verein %1").arg(i));
        QElapsedTimer t;
        t.start();
        const std::shared_ptr<const LiveSnapshot> snapshot = window.live().snapshot();
        takeMs << t.nsecsElapsed() / 1e6;
        if (snapshot->protocol.size() != grid->gridRowCount())
            return 3;
    }
    const double longestTake = *std::max_element(takeMs.cbegin(), takeMs.cend());
    met = met && longestTake <= kSnapshotTargetMs;
    std::printf("\nsnapshot of the live state, %lld rows: median %.4f ms, longest %.4f ms "
                "(target %.0f)\n",
                qlonglong(grid->gridRowCount()), median(takeMs), longestTake, kSnapshotTargetMs);
    std::printf("%s\n", met ? "targets met" : "TARGETS MISSED");
    setMessageBoxes(nullptr);
    return met ? 0 : 1;
}
