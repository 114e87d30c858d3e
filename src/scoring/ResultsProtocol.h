#pragma once

#include <QObject>

class ClockDisplay;
class LiveState;
class ProtocolGrid;
class RunControl;
class RunHooks;
class RunScoring;
class StarterList;
class TFormMainUi;

// The results protocol: entering a run, the abort results, calling the next rider, clearing
// the protocol and deleting a row. Each command reaches the live state as one change.
class ResultsProtocol : public QObject
{
    Q_OBJECT
public:
    ResultsProtocol(TFormMainUi &ui, LiveState &live, ClockDisplay &clock, RunControl &run,
                    RunScoring &scoring, ProtocolGrid &grid, StarterList &starters, RunHooks &hooks,
                    QObject *parent = nullptr);

    void bEINTRAGENMouseDown();
    void mEintragenClick();
    // False when a scoring field does not read as a number; the protocol is then unchanged.
    bool EnterRun();
    void bAbbruchClick(QObject *sender);
    void bRESETClick();
    // NEXT as the operator gives it.
    void nextRider();
    void sbCLSClick();
    void StrokadeleteClick();
    // True when the window may close.
    bool FormCloseQuery();
    void bExitClick();
    void UpdateProtocolButtons();

private:
    TFormMainUi &m_ui;
    LiveState &m_live;
    ClockDisplay &m_clock;
    RunControl &m_run;
    RunScoring &m_scoring;
    ProtocolGrid &m_grid;
    StarterList &m_starters;
    RunHooks &m_hooks;
};
