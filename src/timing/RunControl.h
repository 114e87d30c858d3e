#pragma once

#include "TColor.h"

#include <QObject>

class ClockDisplay;
class LiveState;
class QAction;
class RunHooks;
class TBitBtnWithColor;
class TFormMainUi;
class TImage;

// The run's state machine: TIMER, START, STOP, hold/continue and the photocell arming. Keys,
// buttons, photocells and the countdown all come through these handlers, and each command
// writes the run into the live state at the tick the clock counts from.
class RunControl : public QObject
{
    Q_OBJECT
public:
    RunControl(TFormMainUi &ui, ClockDisplay &clock, LiveState &live, RunHooks &hooks,
               QObject *parent = nullptr);

    // The run buttons act on the press of any mouse button, through their command, so an
    // unavailable command swallows the press.
    void bTimerMouseDown();
    void bSTARTMouseDown();
    void bSTOPMouseDown();
    void bHFMouseDown();

    void mTimerClick();
    void mStartClick();
    void mStopClick();
    // sender: the control that gave the command (bHF toggles its own down state).
    void HF1Click(QObject *sender);
    void sbS2Click();
    void sbS3Click();
    void LockSTART1Click();
    void LockSTOP1Click();
    void ImageLSClick(TImage *image);
    void SetCellArmed(TImage *image, int value);
    void seELZmainChange(int value);
    // TIMER and "Eliminieren" show only with a countdown.
    void ShowCountdownControls();
    // The time of a run started and not yet entered (running, held or stopped); -1 for none.
    qint32 runOnCourseMs() const;

private:
    void setRunButton(TBitBtnWithColor *button, bool enabled, TColor color);
    void setPenaltyControls(bool enabled);
    TFormMainUi &m_ui;
    ClockDisplay &m_clock;
    LiveState &m_live;
    RunHooks &m_hooks;
};
