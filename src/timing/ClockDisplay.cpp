#include "ClockDisplay.h"

#include "AudienceClock.h"

#include "ClockMath.h"
#include "DisplayColors.h"
#include "LabelColor.h"
#include "RunHooks.h"
#include "RunState.h"
#include "Settings.h"
#include "SoundPlayer.h"
#include "TBitBtnWithColor.h"
#include "TDigit.h"
#include "TFormMainUi.h"
#include "TImage.h"
#include "TickSource.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <algorithm>

ClockDisplay::ClockDisplay(TFormMainUi &ui, RunHooks &hooks, QObject *parent)
    : QObject(parent), m_ui(ui), m_hooks(hooks), m_revealTimer(new QTimer(this))
{
    m_revealTimer->setInterval(10);
    m_revealTimer->setTimerType(Qt::PreciseTimer);
    connect(m_revealTimer, &QTimer::timeout, this, &ClockDisplay::revealStep);
    connect(m_ui.Clock, &QTimer::timeout, this, &ClockDisplay::ClockTimer);
    connect(m_ui.TimerDate, &QTimer::timeout, this, &ClockDisplay::TimerDateTimer);
    connect(m_ui.Image1, &TImage::clicked, this, [this] {
        // The first click starts the slide at once; another click ends it.
        if (revealing())
            finishReveal();
        else
            TimerDateTimer();
    });
}

void ClockDisplay::ClockTimer()
{
    UpdateClockDisplay(ticksBetween(Run.RunStartTick, tickNow()));
}

void ClockDisplay::UpdateClockDisplay(qint32 elapsedMs)
{
    const ClockStep step = computeClockStep(elapsedMs, Run.CountdownActive, Settings.Timer,
                                            Settings.ELZ, Run.ColorState);
    Run.ColorState = step.colorState;
    if (step.countdownAlarm) {
        // Only the always-significant digits change here; the leading two follow below.
        ActiveColor = DisplayColors[ColorAlarm];
        for (TDigit *d : {m_ui.Digit6, m_ui.Digit7, m_ui.Digit8})
            d->setColorOn(ActiveColor);
        setLabelColor(m_ui.LabSec, ActiveColor);
        setLabelColor(m_ui.Lab_sek, ActiveColor);
        if (m_audience)
            m_audience->applyAlarm(ActiveColor);
    }
    if (step.countdownExpired) {
        const CountdownCommand origin;
        if (m_ui.cbEliminieren->isChecked()) {
            ShowTimeDigits(0, 0);
            m_ui.bAbbruch->click();
            return;
        }
        m_ui.mStart->trigger(); // does nothing while START is unavailable
    }
    if (step.recolor)
        ApplyColorState();
    if (step.overAllowedTime)
        m_hooks.UpdateTimeFaults(elapsedMs);
    ShowTimeDigits(step.shown / 100, step.shown % 100);
}

void ClockDisplay::ShowTimeDigits(qint32 seconds, qint32 hundredths)
{
    const ClockDigits d = splitClockDigits(seconds, hundredths);
    m_ui.Digit4->setValue(d.value[0]);
    m_ui.Digit4->setColorOn(d.hundredsLit ? ActiveColor : DimColor);
    m_ui.Digit5->setValue(d.value[1]);
    m_ui.Digit5->setColorOn(d.tensLit ? ActiveColor : DimColor);
    m_ui.Digit6->setValue(d.value[2]);
    m_ui.Digit7->setValue(d.value[3]);
    m_ui.Digit8->setValue(d.value[4]);
    if (m_audience)
        m_audience->showDigits(d.value, m_ui.Digit4->colorOn(), m_ui.Digit5->colorOn(),
                               m_ui.Clock->isActive());
}

void ClockDisplay::ApplyColorState()
{
    DimColor = DisplayColors[1];
    ActiveColor = DisplayColors[Run.ColorState];
    for (TDigit *d : {m_ui.Digit4, m_ui.Digit5, m_ui.Digit6, m_ui.Digit7, m_ui.Digit8}) {
        d->setColorOn(ActiveColor);
        d->setColorOff(DisplayColors[0]);
        d->setColor(DisplayColors[0]);
    }
    setLabelColor(m_ui.LabSec, ActiveColor);
    setLabelColor(m_ui.Lab_sek, ActiveColor);
    if (m_audience)
        m_audience->applyColors(ActiveColor, DisplayColors[0]);
}

void ClockDisplay::setDisplayColors(const TColor colors[5])
{
    std::copy(colors, colors + 5, DisplayColors);
    QPalette pal = m_ui.PanelTimer->palette();
    pal.setColor(QPalette::Window, toQColor(DisplayColors[0]));
    m_ui.PanelTimer->setPalette(pal);
}

void ClockDisplay::ApplyAccuracy(int decimals)
{
    if (m_audience)
        m_audience->applyAccuracy(decimals);
    m_ui.Digit8->setVisible(decimals == 2);
    m_ui.Digit7->setVisible(decimals >= 1);
    const int bevel = m_ui.PanelTimer->frameWidth();
    int width = m_ui.PanelTimerOwner->width();
    if (decimals == 0)
        width = m_ui.LabSec->x() + bevel;
    else if (decimals == 1)
        width = m_ui.Digit8->x() + bevel;
    m_ui.PanelTimer->resize(width, m_ui.PanelTimer->height());
    m_ui.PanelTimer->move((m_ui.PanelTimerOwner->width() - width) / 2, m_ui.PanelTimer->y());
    // "Sek." stays under the last visible digit.
    m_ui.Lab_sek->move(width - m_ui.Lab_sek->width() - bevel - 4, m_ui.Lab_sek->y());
    m_ui.LabSec->setVisible(decimals >= 1);
}

void ClockDisplay::PlayCue(const QString &path, int count)
{
    if (!Settings.Sound || path.isEmpty() || count < 1)
        return;
    // Repeated plays would block the clock; every cue of the program sounds once.
    soundPlayer().play(path);
}

void ClockDisplay::sbS1Click()
{
    PlayCue(Settings.Sound1);
}

void ClockDisplay::TimerDateTimer()
{
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    m_ui.PanelDate->setText(locale.toString(now.date(), QLocale::ShortFormat) +
                            QStringLiteral("   ") +
                            locale.toString(now.time(), QLocale::ShortFormat));
    if (m_audience)
        m_audience->showBottomLine(m_ui.PanelDate->text());
    if (!m_ui.Image1->isHidden() && !revealing())
        startReveal();
}

void ClockDisplay::startReveal()
{
    m_ui.TimerDate->stop();
    m_revealStepsLeft = m_ui.PanelTimer->height();
    m_revealTimer->start();
}

bool ClockDisplay::revealing() const
{
    return m_revealTimer->isActive();
}

void ClockDisplay::revealStep()
{
    if (m_revealStepsLeft <= 0) {
        finishReveal();
        return;
    }
    m_ui.Image1->move(m_ui.Image1->x(), m_ui.Image1->y() + 1);
    if (--m_revealStepsLeft == 0)
        finishReveal();
}

void ClockDisplay::finishReveal()
{
    m_revealTimer->stop();
    m_revealStepsLeft = 0;
    const int decimals = Settings.Acc;
    if (decimals > 0) {
        if (decimals == 2)
            m_ui.Digit8->show();
        m_ui.Digit7->show();
        m_ui.LabSec->show();
    }
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_ui.Digit6, m_ui.Lab_sek, m_ui.Digit5, m_ui.Digit4})
        w->show();
    m_ui.bTimer->setEnabled(true);
    m_ui.bTimer->setColor(Colors::clYellow);
    m_ui.bSTART->setEnabled(true);
    m_ui.bSTART->setColor(Colors::clGreen);
    m_ui.cbKNr->setEnabled(true);
    m_ui.Image1->hide();
    m_ui.TimerDate->start();
}
