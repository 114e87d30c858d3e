#pragma once

#include "TColor.h"

#include <QObject>

class AudienceClock;
class RunHooks;
class TFormMainUi;
class QLabel;
class QTimer;

// The big clock: turns the run's elapsed time into the digits and their colours, refreshes
// every 10 ms while the clock counts, keeps the date panel, reveals the digits at start-up and
// plays the sound cues.
class ClockDisplay : public QObject
{
    Q_OBJECT
public:
    ClockDisplay(TFormMainUi &ui, RunHooks &hooks, QObject *parent = nullptr);

    // The audience window's clock, written in the same refresh as the main clock; nullptr: none.
    void setAudience(AudienceClock *audience) { m_audience = audience; }

    void UpdateClockDisplay(qint32 elapsedMs);
    void ShowTimeDigits(qint32 seconds, qint32 hundredths);
    void ApplyColorState();
    // The five display colours; the first is the digit panel's background.
    void setDisplayColors(const TColor colors[5]);
    void ApplyAccuracy(int decimals);
    void PlayCue(const QString &path, int count = 1);

    void ClockTimer();
    void TimerDateTimer();
    void sbS1Click();

    // Start-up: the banner covers the clock until the date timer's first tick slides it away.
    void startReveal();
    bool revealing() const;
    // Moves the banner one pixel; the last step reveals the digits. Driven by a 10 ms timer.
    void revealStep();

private:
    void finishReveal();

    TFormMainUi &m_ui;
    RunHooks &m_hooks;
    AudienceClock *m_audience = nullptr;
    QTimer *m_revealTimer = nullptr;
    int m_revealStepsLeft = 0;
};
