#include "RunControl.h"

#include "ClockDisplay.h"
#include "LiveState.h"
#include "RunHooks.h"
#include "RunState.h"
#include "Settings.h"
#include "TBitBtnWithColor.h"
#include "TFormMainUi.h"
#include "TImage.h"
#include "TLbSpeedButton.h"
#include "TOvalButton.h"
#include "TickSource.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

RunControl::RunControl(TFormMainUi &ui, ClockDisplay &clock, LiveState &live, RunHooks &hooks,
                       QObject *parent)
    : QObject(parent), m_ui(ui), m_clock(clock), m_live(live), m_hooks(hooks)
{
    connect(m_ui.mTimer, &QAction::triggered, this, &RunControl::mTimerClick);
    connect(m_ui.mStart, &QAction::triggered, this, &RunControl::mStartClick);
    connect(m_ui.mStop, &QAction::triggered, this, &RunControl::mStopClick);
    connect(m_ui.HF1, &QAction::triggered, this, [this] { HF1Click(m_ui.HF1); });
    connect(m_ui.LockSTART1, &QAction::triggered, this, &RunControl::LockSTART1Click);
    connect(m_ui.LockSTOP1, &QAction::triggered, this, &RunControl::LockSTOP1Click);

    connect(m_ui.bTimer, &TBitBtnWithColor::mousePressed, this, &RunControl::bTimerMouseDown);
    connect(m_ui.bSTART, &TBitBtnWithColor::mousePressed, this, &RunControl::bSTARTMouseDown);
    connect(m_ui.bSTOP, &TBitBtnWithColor::mousePressed, this, &RunControl::bSTOPMouseDown);
    connect(m_ui.bHF, &TBitBtnWithColor::mousePressed, this, &RunControl::bHFMouseDown);
    connect(m_ui.sbS2, &QToolButton::clicked, this, &RunControl::sbS2Click);
    connect(m_ui.sbS3, &QToolButton::clicked, this, &RunControl::sbS3Click);
    connect(m_ui.ImageLSstart, &TImage::clicked, this, [this] { ImageLSClick(m_ui.ImageLSstart); });
    connect(m_ui.ImageLSstop, &TImage::clicked, this, [this] { ImageLSClick(m_ui.ImageLSstop); });
    connect(m_ui.seELZmain, &QSpinBox::valueChanged, this, &RunControl::seELZmainChange);
}

void RunControl::bTimerMouseDown()
{
    m_ui.mTimer->trigger();
}

void RunControl::bSTARTMouseDown()
{
    m_ui.mStart->trigger();
}

void RunControl::bSTOPMouseDown()
{
    m_ui.mStop->trigger();
}

void RunControl::bHFMouseDown()
{
    HF1Click(m_ui.bHF);
}

void RunControl::setRunButton(TBitBtnWithColor *button, bool enabled, TColor color)
{
    button->setEnabled(enabled);
    button->setColor(color);
}

void RunControl::setPenaltyControls(bool enabled)
{
    for (QWidget *w : std::initializer_list<QWidget *>{
             m_ui.bStrafsek6, m_ui.bStrafsek4, m_ui.bStrafsek8, m_ui.bStrafsek10, m_ui.eStrafPkt})
        w->setEnabled(enabled);
}

void RunControl::mTimerClick()
{
    if (!m_ui.bTimer->isEnabled())
        return;
    const LiveState::Batch batch(m_live);
    Run.CountdownActive = Settings.Timer > 0;
    const bool clockOn = !m_ui.Clock->isActive();
    if (clockOn)
        m_ui.Clock->start();
    else
        m_ui.Clock->stop();
    setRunButton(m_ui.bNoStart, false, Colors::clBtnFace);
    setRunButton(m_ui.bAus, true, Colors::clMaroon);
    if (!clockOn) {
        Run.RunHoldTick = tickNow();
        m_live.changeRun([](LiveRun &run) { run.standCountdown(Run.RunHoldTick); });
        m_ui.bTimer->setFontColor(Colors::clRed);
    } else {
        m_ui.bTimer->setFontColor(Colors::clBlack);
        Run.RunStartTick = tickNow();
        m_live.changeRun(
            [](LiveRun &run) { run.giveCountdown(Run.RunStartTick, Settings.Timer * 1000); });
        Run.ColorState = ColorReady;
        m_clock.ApplyColorState();
    }
    m_ui.bCFG->setEnabled(false);
    m_ui.bRESET->setEnabled(false);
    m_ui.bAbbruch->setEnabled(true);
    setRunButton(m_ui.bSTART, true, Colors::clGreen);
    setRunButton(m_ui.bSTOP, false, Colors::clBtnFace);
    m_ui.bEINTRAGEN->setEnabled(false);
    if (clockOn) {
        m_clock.PlayCue(Settings.Sound0);
        m_ui.bSTART->setFocus();
    }
    if (Settings.AutoFrei)
        SetCellArmed(m_ui.ImageLSstart, 1);
    m_live.setInfo(QString());
    m_hooks.RunCommandGiven(RunCommand::Timer, -1,
                            clockOn ? QString() : QStringLiteral("angehalten"));
}

void RunControl::mStartClick()
{
    const LiveState::Batch batch(m_live);
    Run.CountdownActive = false;
    Run.RunStartTick = commandTick();
    Run.StartStamp = -1; // a timing device's impulse sets it again once START is done
    m_live.changeRun([](LiveRun &run) { run.start(Run.RunStartTick); });
    m_ui.seELZmain->setEnabled(false);
    m_ui.ePktSek->setText(QLocale().toString(0.0, 'f', 2));
    m_ui.eHindPkt->setText(QStringLiteral("0"));
    m_ui.eStrafPkt->setText(QStringLiteral("0"));
    Run.ColorState = ColorRunning;
    m_clock.ApplyColorState();
    Run.RunHoldTick = 0;
    m_ui.Clock->start();
    setRunButton(m_ui.bNoStart, false, Colors::clBtnFace);
    setRunButton(m_ui.bAus, true, Colors::clMaroon);
    m_ui.eHindPkt->setEnabled(true);
    for (QWidget *w : std::initializer_list<QWidget *>{m_ui.bPlus4, m_ui.bMinus4, m_ui.cbPlus})
        w->setEnabled(true);
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_ui.rbModeA, m_ui.rbModeC, m_ui.rbModeCfahren})
        w->setEnabled(false);
    setRunButton(m_ui.bTimer, false, Colors::clBtnFace);
    m_ui.bTimer->setFontColor(Colors::clBlack);
    m_ui.bHF->setEnabled(true);
    m_ui.sbS1->setEnabled(true);
    m_ui.sbS2->setEnabled(true);
    m_ui.bAbbruch->setEnabled(true);
    setRunButton(m_ui.bSTART, false, Colors::clBtnFace);
    setRunButton(m_ui.bSTOP, true, Colors::clRed);
    m_ui.bRESET->setEnabled(false);
    m_ui.bEINTRAGEN->setEnabled(false);
    m_ui.bSTOP->setFocus();
    m_ui.bCFG->setEnabled(false);
    SetCellArmed(m_ui.ImageLSstart, 0);
    m_hooks.UpdateRunTotal();
    m_hooks.RunCommandGiven(RunCommand::Start, 0, {});
}

void RunControl::mStopClick()
{
    Run.RunStopTick = commandTick(); // before anything else: this is the finish time
    const LiveState::Batch batch(m_live);
    m_live.changeRun([](LiveRun &run) { run.stop(Run.RunStopTick); });
    m_ui.Clock->stop();
    m_ui.seELZmain->setEnabled(true);
    m_ui.bHF->setDownState(false);
    m_ui.bHF->setEnabled(false);
    setRunButton(m_ui.bSTART, false, Colors::clBtnFace);
    setRunButton(m_ui.bSTOP, false, Colors::clBtnFace);
    setRunButton(m_ui.bEINTRAGEN, true, rgbColor(0x00, 0x80, 0xFF));
    m_clock.UpdateClockDisplay(ticksBetween(Run.RunStartTick, Run.RunStopTick));
    m_ui.sbS1->setEnabled(false);
    m_ui.sbS2->setEnabled(false);
    m_ui.sbS3->setEnabled(false);
    setPenaltyControls(true);
    m_ui.bEINTRAGEN->setFocus();
    SetCellArmed(m_ui.ImageLSstop, 0);
    m_hooks.RunCommandGiven(RunCommand::Stop, ticksBetween(Run.RunStartTick, Run.RunStopTick), {});
}

void RunControl::HF1Click(QObject *sender)
{
    if (!m_ui.bHF->isEnabled())
        return;
    const LiveState::Batch batch(m_live);
    if (sender != m_ui.bHF)
        m_ui.bHF->setDownState(!m_ui.bHF->isDownState());
    const bool wasRunning = m_ui.Clock->isActive();
    m_ui.sbS2->setEnabled(!wasRunning);
    m_ui.sbS3->setEnabled(wasRunning);
    const quint32 now = tickNow();
    if (wasRunning) {
        Run.RunHoldTick = now;
        m_live.changeRun([now](LiveRun &run) { run.hold(now); });
        // Stopped first, so the audience sees the hundredths of the held time.
        m_ui.Clock->stop();
        m_clock.UpdateClockDisplay(ticksBetween(Run.RunStartTick, now));
    } else {
        Run.RunStartTick += now - Run.RunHoldTick; // the held interval does not count
        m_live.changeRun([now](LiveRun &run) { run.resume(now); });
        m_ui.Clock->start();
    }
    m_clock.PlayCue(Settings.Sound0);
    setPenaltyControls(wasRunning);
    setRunButton(m_ui.bSTOP, !wasRunning, wasRunning ? Colors::clBtnFace : Colors::clRed);
    m_hooks.RunCommandGiven(wasRunning ? RunCommand::Hold : RunCommand::Continue,
                            ticksBetween(Run.RunStartTick, now), {});
}

void RunControl::sbS2Click()
{
    HF1Click(m_ui.sbS2);
    m_ui.sbS2->setEnabled(false);
    m_ui.sbS3->setEnabled(!m_ui.sbS2->isEnabled());
}

void RunControl::sbS3Click()
{
    HF1Click(m_ui.sbS3);
    m_ui.sbS2->setEnabled(true);
    m_ui.sbS3->setEnabled(!m_ui.sbS2->isEnabled());
}

void RunControl::SetCellArmed(TImage *image, int value)
{
    image->setTag(value);
    image->setPixmap(m_ui.ImageList1[value == 1 ? 1 : 0]);
    image->repaint();
    m_live.setCellsArmed(m_ui.ImageLSstart->tag() == 1, m_ui.ImageLSstop->tag() == 1);
}

void RunControl::ImageLSClick(TImage *image)
{
    SetCellArmed(image, 1 - image->tag());
}

void RunControl::LockSTART1Click()
{
    ImageLSClick(m_ui.ImageLSstart);
}

void RunControl::LockSTOP1Click()
{
    ImageLSClick(m_ui.ImageLSstop);
}

void RunControl::seELZmainChange(int value)
{
    Settings.ELZ = value;
    LiveSnapshot::Competition competition = m_live.current().competition;
    competition.allowedSeconds = value;
    m_live.setCompetition(competition);
}

void RunControl::ShowCountdownControls()
{
    const bool countdown = Settings.Timer > 0;
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_ui.bTimer, m_ui.cbEliminieren, m_ui.LabEliminieren})
        w->setVisible(countdown);
}

qint32 RunControl::runOnCourseMs() const
{
    if (m_ui.bEINTRAGEN->isEnabled() && (Run.RunStartTick != 0 || Run.RunStopTick != 0))
        return ticksBetween(Run.RunStartTick, Run.RunStopTick);
    if (Run.CountdownActive || !m_ui.bHF->isEnabled())
        return -1;
    return ticksBetween(Run.RunStartTick, m_ui.Clock->isActive() ? tickNow() : Run.RunHoldTick);
}
