#include "RunScoring.h"

#include "ClockDisplay.h"
#include "LiveState.h"
#include "LocaleNumbers.h"
#include "MessageBoxes.h"
#include "ProtocolTexts.h"
#include "RunHooks.h"
#include "RunState.h"
#include "Settings.h"
#include "TBitBtnWithColor.h"
#include "TFormMainUi.h"
#include "TOvalButton.h"
#include "TimeFaults.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QRadioButton>

RunScoring::RunScoring(TFormMainUi &ui, ClockDisplay &clock, LiveState &live, RunHooks &hooks,
                       QObject *parent)
    : QObject(parent), m_ui(ui), m_clock(clock), m_live(live), m_hooks(hooks)
{
    for (QAction *a : m_ui.faultActions)
        connect(a, &QAction::triggered, this, [this, a] { HindernClick(a); });
    for (QAction *a : {m_ui.Nplus4, m_ui.Nminus4})
        connect(a, &QAction::triggered, this, [this, a] { Nplus4Click(a); });
    for (QPushButton *b : {m_ui.bPlus4, m_ui.bMinus4})
        connect(b, &QPushButton::clicked, this, [this, b] { Nplus4Click(b); });
    connect(m_ui.cbPlus, &QComboBox::activated, this, &RunScoring::cbPlusChange);
    for (QPushButton *b : {m_ui.bStrafsek4, m_ui.bStrafsek6, m_ui.bStrafsek8, m_ui.bStrafsek10})
        connect(b, &QPushButton::clicked, this, [this, b] { mStrafSekClick(b); });
    for (QAction *a : {m_ui.N13, m_ui.N14, m_ui.N15})
        connect(a, &QAction::triggered, this, [this, a] { mStrafSekClick(a); });
    for (QPushButton *b : {m_ui.bStrafPlus, m_ui.bStrafMinus})
        connect(b, &QPushButton::clicked, this, [this, b] { bStrafPlusClick(b); });
    connect(m_ui.eHindPkt, &QLineEdit::textChanged, this, [this] { fieldChanged(true); });
    connect(m_ui.ePktSek, &QLineEdit::textChanged, this, [this] { fieldChanged(true); });
    connect(m_ui.eStrafPkt, &QLineEdit::textChanged, this, [this] { fieldChanged(false); });
    for (QRadioButton *r : {m_ui.rbModeA, m_ui.rbModeC, m_ui.rbModeCfahren})
        connect(r, &QRadioButton::toggled, this, &RunScoring::rbModeClick);
    connect(m_ui.cbEliminieren, &QCheckBox::toggled, this, [](bool on) { Settings.Eli = on; });
    m_ui.eHindPkt->installEventFilter(this);
    m_ui.eStrafPkt->installEventFilter(this);
    m_ui.LabEliminieren->installEventFilter(this);
    m_ui.bStrafPlus->setEnabled(false);
    m_ui.bStrafMinus->setEnabled(false);
    m_live.setProcedure(procedure(m_ui));
    publishFields();
}

JudgingProcedure RunScoring::procedure(const TFormMainUi &ui)
{
    if (ui.rbModeC->isChecked())
        return JudgingProcedure::C;
    if (ui.rbModeCfahren->isChecked())
        return JudgingProcedure::CFahren;
    return JudgingProcedure::A;
}

bool RunScoring::readWhole(QLineEdit *field, qint64 &value)
{
    QString error;
    if (LocaleNumbers::typedToInt(field->text(), value, &error))
        return true;
    messageBoxes().error(m_ui.form, error);
    return false;
}

void RunScoring::fieldChanged(bool withTotal)
{
    const LiveState::Batch batch(m_live);
    publishFields();
    if (withTotal)
        UpdateRunTotal();
}

void RunScoring::publishFields()
{
    LiveSnapshot::Scoring scoring = m_live.current().scoring;
    scoring.faults = m_ui.eHindPkt->text();
    scoring.penaltySeconds = m_ui.eStrafPkt->text();
    scoring.timeFaults = m_ui.ePktSek->text();
    m_live.setScoring(scoring);
}

void RunScoring::UpdateRunTotal()
{
    // Runs on every key typed into the faults: a message box here would take the keys of a live
    // run, so a field that is no number yet leaves the total as it was.
    double H = 0, Z = 0;
    if (!LocaleNumbers::typedToDouble(m_ui.eHindPkt->text(), H) ||
        !LocaleNumbers::typedToDouble(m_ui.ePktSek->text(), Z))
        return;
    const double total = procedure(m_ui) == JudgingProcedure::C ? H : H + Z;
    const LiveState::Batch batch(m_live);
    LiveSnapshot::Scoring scoring = m_live.current().scoring;
    scoring.total = LocaleNumbers::fixed2(total);
    m_live.setScoring(scoring);
    m_live.setInfo(ProtocolColumnHeading(ColPoints) + QLatin1Char(':') + scoring.total);
    qint64 faults = 0;
    if (LocaleNumbers::typedToInt(m_ui.eHindPkt->text(), faults))
        m_ui.bMinus4->setEnabled(faults >= -m_ui.bMinus4->property("Tag").toInt());
}

void RunScoring::UpdateTimeFaults(qint32 elapsedMs)
{
    if (procedure(m_ui) == JudgingProcedure::C)
        return;
    const double faults =
        computeTimeFaults(elapsedMs / 10, Settings.ELZ, Settings.SekPachka, Settings.PktSek);
    // Called on every refresh beyond the allowed time; most refreshes change nothing.
    const QString text = LocaleNumbers::fixed2(faults);
    if (m_ui.ePktSek->text() != text)
        m_ui.ePktSek->setText(text);
}

void RunScoring::HindernClick(QObject *sender)
{
    const LiveState::Batch batch(m_live);
    qint64 faults = 0;
    if (!m_ui.eHindPkt->isEnabled() || !readWhole(m_ui.eHindPkt, faults))
        return;
    m_ui.eHindPkt->setText(QString::number(faults + sender->property("Tag").toInt()));
}

void RunScoring::Nplus4Click(QObject *sender)
{
    const LiveState::Batch batch(m_live);
    qint64 faults = 0;
    if (!m_ui.bPlus4->isEnabled() || !readWhole(m_ui.eHindPkt, faults))
        return;
    const qint64 sum = faults + sender->property("Tag").toInt();
    m_ui.eHindPkt->setText(QString::number(qMax<qint64>(0, sum)));
    UpdateRunTotal();
}

void RunScoring::cbPlusChange(int index)
{
    const LiveState::Batch batch(m_live);
    static const int amounts[] = {3, 4, 5, 6, 8};
    qint64 faults = 0;
    if (index < 0 || index >= int(std::size(amounts)) || !readWhole(m_ui.eHindPkt, faults))
        return;
    m_ui.eHindPkt->setText(QString::number(faults + amounts[index]));
    UpdateRunTotal();
}

void RunScoring::movePenalty(qint64 seconds)
{
    Run.RunStartTick -= quint32(seconds * 1000);
    m_live.changeRun([seconds](LiveRun &run) { run.addPenalty(qint32(seconds * 1000)); });
    // Penalty seconds are open only while held or after STOP; bHF is enabled only while held.
    const quint32 end = m_ui.bHF->isEnabled() ? Run.RunHoldTick : Run.RunStopTick;
    const qint32 clockMs = ticksBetween(Run.RunStartTick, end);
    m_clock.UpdateClockDisplay(clockMs);
    // A correction back to or below the allowed time takes the time faults with it.
    if (procedure(m_ui) != JudgingProcedure::C && clockMs / 10 <= qint64(Settings.ELZ) * 100)
        m_ui.ePktSek->setText(LocaleNumbers::fixed2(0));
    if (seconds != 0)
        m_hooks.RunCommandGiven(RunCommand::Penalty, clockMs,
                                (seconds > 0 ? QStringLiteral("+") : QString()) +
                                    QString::number(seconds));
}

void RunScoring::mStrafSekClick(QObject *sender)
{
    const bool known = sender == m_ui.bStrafsek4 || sender == m_ui.bStrafsek6 ||
                       sender == m_ui.bStrafsek8 || sender == m_ui.bStrafsek10 ||
                       sender == m_ui.N13 || sender == m_ui.N14 || sender == m_ui.N15;
    if (!known || !m_ui.bStrafsek10->isEnabled())
        return;
    const LiveState::Batch batch(m_live);
    // A number typed but not yet added is dropped: the step adds to what the clock holds.
    cancelPenaltyEntry();
    qint64 penalty = 0;
    if (!readWhole(m_ui.eStrafPkt, penalty))
        return;
    const int step = sender->property("Tag").toInt();
    m_ui.eStrafPkt->setText(QString::number(penalty + step));
    movePenalty(step);
    UpdateRunTotal();
}

bool RunScoring::penaltyEntryIdle() const
{
    return !m_ui.LabelRavno->isHidden();
}

void RunScoring::endPenaltyEntry()
{
    m_ui.bStrafPlus->setEnabled(false);
    m_ui.bStrafMinus->setEnabled(false);
    m_ui.LabelRavno->show();
}

void RunScoring::bStrafPlusClick(QObject *sender)
{
    const LiveState::Batch batch(m_live);
    if (penaltyEntryIdle())
        return;
    const int sign = sender->property("Tag").toInt() < 0 ? -1 : 1;
    endPenaltyEntry();
    qint64 typed = 0;
    if (!LocaleNumbers::toInt(m_ui.eStrafPkt->text(), typed)) {
        m_ui.eStrafPkt->setText(QString::number(PenaltyEntryBase));
        return;
    }
    // The field cannot go below zero, and the clock moves only by what the field changed, so
    // the riding time stays the time ridden.
    const qint64 sum = qMax<qint64>(0, PenaltyEntryBase + sign * typed);
    m_ui.eStrafPkt->setText(QString::number(sum));
    movePenalty(sum - PenaltyEntryBase);
}

void RunScoring::cancelPenaltyEntry()
{
    if (penaltyEntryIdle())
        return;
    m_ui.eStrafPkt->setText(QString::number(PenaltyEntryBase));
    endPenaltyEntry();
}

bool RunScoring::ePktKeyPress(QLineEdit *sender, QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return false;
    default:
        break;
    }
    if (sender == m_ui.eStrafPkt && penaltyEntryIdle()) {
        m_ui.LabelRavno->hide();
        qint64 base = 0;
        LocaleNumbers::toInt(sender->text(), base);
        PenaltyEntryBase = qint32(base);
        sender->selectAll();
        m_ui.bStrafPlus->setEnabled(true);
        m_ui.bStrafMinus->setEnabled(true);
    }
    const QChar c = text.at(0);
    if (c == QLatin1Char('\b'))
        return false;
    const bool passes = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                        QString(c) == LocaleNumbers::fieldLocale().decimalPoint();
    // The limit holds for typing only; sums the commands write may be longer.
    const int limit = sender == m_ui.eHindPkt ? 4 : 3;
    return !passes || sender->text().size() - sender->selectedText().size() >= limit;
}

void RunScoring::rbModeClick()
{
    const bool c = m_ui.rbModeC->isChecked();
    m_ui.LabelSekInPachka->setVisible(!c);
    m_ui.ePktSek->setVisible(!c);
    Settings.Sum = c;
    Settings.SumF = m_ui.rbModeCfahren->isChecked();
    m_live.setProcedure(procedure(m_ui));
}

void RunScoring::LabEliminierenClick()
{
    m_ui.cbEliminieren->toggle();
}

bool RunScoring::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress &&
        (watched == m_ui.eHindPkt || watched == m_ui.eStrafPkt))
        return ePktKeyPress(static_cast<QLineEdit *>(watched), static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::MouseButtonRelease && watched == m_ui.LabEliminieren) {
        LabEliminierenClick();
        return true;
    }
    // When the penalty field closes mid-entry (continue after hold, entering the run), the
    // half-typed number must not stay behind with live "+" and "-" buttons.
    if (event->type() == QEvent::EnabledChange && watched == m_ui.eStrafPkt &&
        !m_ui.eStrafPkt->isEnabled())
        cancelPenaltyEntry();
    return QObject::eventFilter(watched, event);
}
