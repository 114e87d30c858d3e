#include "LiveState.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <atomic>

Q_DECLARE_METATYPE(LiveRun)

namespace {
constexpr quint32 T0 = 0xFFFFF000u; // close to the counter's wrap: a run crosses it
} // namespace

class tst_LiveState : public QObject
{
    Q_OBJECT
private slots:
    void shownTime_data()
    {
        QTest::addColumn<LiveRun>("run");
        QTest::addColumn<quint32>("now");
        QTest::addColumn<qint32>("hundredths");
        LiveRun run;
        const auto row = [&](const char *name, quint32 now, qint32 hundredths) {
            QTest::newRow(name) << run << T0 + now << hundredths;
        };
        row("idle shows zero", 5000, 0);
        run.start(T0), row("running, truncated, across the wrap", 65279, 6527);
        run.hold(T0 + 10009), row("held: stands", 99999, 1000);
        run.resume(T0 + 15000), row("resumed: the 4.991 s held do not count", 20000, 1500);
        run.stop(T0 + 70017), row("stopped", 90000, 6502);
        run.addPenalty(4000), row("penalty seconds added", 90000, 6902);
        run.enter(), row("entered: the time stays", 99000, 6902);
        run.giveCountdown(T0, 45000), row("countdown: the rest", 1005, 4400);
        row("countdown run out: zero", 46000, 0);
        const LiveRun countdown = run;
        run.standCountdown(T0 + 2000), row("countdown stopped with TIMER", 30000, 4300);
        run = countdown, run.abort(T0 + 3000), row("aborted in the countdown", 9000, 4200);
        run.giveCountdown(T0, 0), row("TIMER without a countdown counts up", 1234, 123);
        run.next(), run.start(T0), run.abort(T0 + 12345);
        row("aborted on course", 20000, 1234);
        run.enter(), row("an abort entered stays at its time", 20000, 1234);
    }
    void shownTime()
    {
        QFETCH(LiveRun, run);
        QFETCH(quint32, now);
        QFETCH(qint32, hundredths);
        QCOMPARE(run.shownHundredths(now), hundredths);
    }

    void phasesOfRunAndAbort()
    {
        using P = RunPhase;
        QList<RunPhase> phases;
        LiveRun run;
        const auto note = [&] { phases << run.phase; };
        run.giveCountdown(100, 45000), note(), run.start(5000), note(), run.hold(6000), note();
        run.resume(7000), note(), run.stop(9000), note(), run.enter(), note(), run.next(), note();
        QCOMPARE(run, LiveRun());
        // An abort enters its result and stays an abort.
        run.start(100), note(), run.abort(2000), note(), run.enter(), note();
        QCOMPARE(phases,
                 (QList<RunPhase>{P::Countdown, P::Running, P::Held, P::Running, P::Stopped,
                                  P::Entered, P::Idle, P::Running, P::Aborted, P::Aborted}));
        QVERIFY(run.standing);
    }

    void signalsOnlyForChanges()
    {
        LiveState state;
        QSignalSpy titles(&state, &LiveState::titlesChanged),
            starter(&state, &LiveState::starterChanged), run(&state, &LiveState::runChanged),
            results(&state, &LiveState::resultsChanged);
        const auto counts = [&] {
            return QList<qsizetype>{titles.size(), starter.size(), run.size(), results.size()};
        };

        state.setTitles(QStringLiteral("Springprüfung"), QStringLiteral("Kl. L"));
        state.setTitles(QStringLiteral("Springprüfung"), QStringLiteral("Kl. L"));
        QCOMPARE(counts(), (QList<qsizetype>{1, 0, 0, 0}));

        const std::shared_ptr<const LiveSnapshot> before = state.snapshot();
        {
            // An entry as the protocol makes it: several writes, one announcement each.
            LiveState::Batch batch(state);
            LiveState::Batch inner(state);
            state.changeRun([](LiveRun &run) { run.enter(); });
            state.setInfo(QStringLiteral("Punkte:4,00   Platz:1"));
            state.setProtocol({{QStringLiteral("Nr.")}, {QStringLiteral("7")}});
            state.setResult({{QStringLiteral("7")}, QStringLiteral("1"), QString()});
            QCOMPARE(counts(), (QList<qsizetype>{1, 0, 0, 0}));
            // Nothing half done is seen meanwhile.
            QCOMPARE(state.snapshot(), before);
        }
        QCOMPARE(counts(), (QList<qsizetype>{1, 0, 1, 1}));
        const std::shared_ptr<const LiveSnapshot> after = state.snapshot();
        QVERIFY(after->protocolRevision == before->protocolRevision + 1 &&
                after->run.phase == RunPhase::Entered);
        // The snapshot kept before is a value: the change did not reach it.
        QVERIFY(before->run.phase == RunPhase::Idle && before->protocol.isEmpty());

        state.setProtocol(after->protocol);
        state.setStarterTexts(QString(), QString(), QString());
        QCOMPARE(counts(), (QList<qsizetype>{1, 0, 1, 1})); // no change, no new revision

        // A ranking writes the grid cell by cell: its rows are read once, at the batch's end.
        int reads = 0;
        QList<QStringList> grid = after->protocol;
        state.setProtocolSource([&] { return ++reads, grid; });
        QCOMPARE(reads, 1);
        {
            LiveState::Batch batch(state);
            for (int r = 0; r < 3; ++r) {
                grid[1] = QStringList{QString::number(r)};
                state.protocolChanged();
            }
        }
        QVERIFY(reads == 2 && state.snapshot()->protocol.at(1).at(0) == QLatin1String("2"));
        QCOMPARE(counts(), (QList<qsizetype>{1, 0, 1, 2}));
    }

    void snapshotWhileTheGuiThreadWrites()
    {
        // Another thread reads whole snapshots while this one writes: each must be consistent.
        // Run under ThreadSanitizer too (-fsanitize=thread).
        LiveState state;
        std::atomic<bool> done{false};
        std::atomic<int> torn{0}, read{0};
        std::unique_ptr<QThread> reader(QThread::create([&] {
            for (; !done; ++read) {
                const std::shared_ptr<const LiveSnapshot> s = state.snapshot();
                // Written together in one batch: rider "R<n>" with start number "<n>", and n rows.
                const QString n = s->starter.startNumber;
                torn += (s->starter.rider != QLatin1Char('R') + n && !n.isEmpty()) ||
                        s->protocol.size() != n.toInt();
            }
        }));
        reader->start();
        QList<QStringList> rows;
        for (int n = 1; n <= 2000 || read < 100; ++n) {
            LiveState::Batch batch(state);
            LiveSnapshot::Starter starter;
            starter.startNumber = QString::number(n);
            starter.rider = QLatin1Char('R') + starter.startNumber;
            state.setStarter(starter);
            rows.append({starter.startNumber});
            state.setProtocol(rows);
        }
        done = true;
        reader->wait();
        QVERIFY2(torn == 0 && read > 0, qPrintable(QString::number(torn)));
    }
};

QTEST_GUILESS_MAIN(tst_LiveState)
#include "tst_livestate.moc"
