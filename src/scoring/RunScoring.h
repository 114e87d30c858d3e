#pragma once

#include "ProtocolRow.h"

#include <QObject>

class ClockDisplay;
class LiveState;
class QKeyEvent;
class QLineEdit;
class RunHooks;
class TFormMainUi;

// The run of the rider on the course: obstacle faults, penalty seconds, time faults and the
// running total. The values live in the fields as text, are read back from there, and reach the
// live state as they change.
class RunScoring : public QObject
{
    Q_OBJECT
public:
    RunScoring(TFormMainUi &ui, ClockDisplay &clock, LiveState &live, RunHooks &hooks,
               QObject *parent = nullptr);

    static JudgingProcedure procedure(const TFormMainUi &ui);

    void UpdateRunTotal();
    void UpdateTimeFaults(qint32 elapsedMs);

    void HindernClick(QObject *sender);
    void Nplus4Click(QObject *sender);
    void cbPlusChange(int index);
    void mStrafSekClick(QObject *sender);
    void bStrafPlusClick(QObject *sender);
    // True when the key is dropped.
    bool ePktKeyPress(QLineEdit *sender, QKeyEvent *event);
    void rbModeClick();
    void LabEliminierenClick();

    // Drops a half-typed penalty entry: the field shows the seconds the clock holds again.
    void cancelPenaltyEntry();

    // Penalty seconds the field held when typing into it began.
    qint32 PenaltyEntryBase = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A scoring field changed; withTotal: one the running total is made of.
    void fieldChanged(bool withTotal);
    void publishFields();
    bool penaltyEntryIdle() const;
    void endPenaltyEntry();
    void movePenalty(qint64 seconds);
    bool readWhole(QLineEdit *field, qint64 &value);

    TFormMainUi &m_ui;
    ClockDisplay &m_clock;
    LiveState &m_live;
    RunHooks &m_hooks;
};
