#pragma once

#include "LiveSnapshot.h"

#include <QObject>
#include <functional>
#include <memory>
#include <mutex>

// The competition's live state: one picture that the audience window, the kept session, the
// impulse log, the files and the live outputs read, instead of the operator's controls. The
// controllers write it on the GUI thread as the commands are given; any thread may take a
// snapshot at any time.
//
// Changes are announced by four coarse signals. Changes made inside a Batch are announced once,
// when the outermost batch ends, and a snapshot never shows a batch half done.
class LiveState : public QObject
{
    Q_OBJECT
public:
    explicit LiveState(QObject *parent = nullptr);
    ~LiveState() override;

    // A consistent, immutable picture. Thread-safe and cheap: nothing is copied.
    std::shared_ptr<const LiveSnapshot> snapshot() const;
    // The state as written so far, inside a batch too. GUI thread only.
    const LiveSnapshot &current() const { return m_work; }

    void setCompetition(const LiveSnapshot::Competition &competition);
    void setTitles(const QString &title1, const QString &title2);
    void setProcedure(JudgingProcedure procedure);

    void setStarter(const LiveSnapshot::Starter &starter);
    // The rider, horse and club as typed or chosen.
    void setStarterTexts(const QString &horse, const QString &rider, const QString &club);

    void setRun(const LiveRun &run);
    // One of LiveRun's transitions applied to the run as it stands.
    template <typename Transition> void changeRun(Transition transition)
    {
        LiveRun run = m_work.run;
        transition(run);
        setRun(run);
    }
    void setScoring(const LiveSnapshot::Scoring &scoring);
    void setInfo(const QString &info);
    void setCellsArmed(bool start, bool finish);

    void setResult(const LiveSnapshot::Result &result);
    // A run entered into the protocol (or aborted): its result, and one more entry.
    void enterResult(const LiveSnapshot::Result &result);
    // A new revision, whenever the rows changed.
    void setProtocol(const QList<QStringList> &rows);
    // The rows' owner (the protocol grid) reports each change; the rows are read from source
    // then, or once at the end of the batch, so a ranking cell by cell reads them once.
    void setProtocolSource(std::function<QList<QStringList>()> source);
    void protocolChanged();
    // Inside a batch: what is written now is announced, and in the snapshot, once it ends.
    bool batching() const { return m_batchDepth > 0; }

    // Holds the announcements back until the outermost batch ends.
    class Batch
    {
    public:
        explicit Batch(LiveState &state);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        LiveState &m_state;
    };

signals:
    void titlesChanged(); // the competition: titles, procedure, allowed time, time-fault rules
    void starterChanged();
    void runChanged();     // phase, time base, scoring figures, bottom line, armed photocells
    void resultsChanged(); // the protocol and the last result

private:
    enum Part : unsigned
    {
        CompetitionPart = 1,
        StarterPart = 2,
        RunPart = 4,
        ResultsPart = 8
    };
    void changed(Part part);
    void publish();

    LiveSnapshot m_work;
    // Guards m_published only. A standard mutex: thread checkers see through it.
    mutable std::mutex m_mutex;
    std::shared_ptr<const LiveSnapshot> m_published;
    std::function<QList<QStringList>()> m_protocolSource;
    bool m_protocolStale = false;
    unsigned m_pending = 0;
    int m_batchDepth = 0;
};
