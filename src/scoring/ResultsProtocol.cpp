#include "ResultsProtocol.h"

#include "ClockDisplay.h"
#include "LiveState.h"
#include "LocaleNumbers.h"
#include "MessageBoxes.h"
#include "ProtocolGrid.h"
#include "ProtocolRow.h"
#include "ProtocolTexts.h"
#include "RunControl.h"
#include "RunHooks.h"
#include "RunScoring.h"
#include "RunState.h"
#include "Settings.h"
#include "StarterList.h"
#include "TBitBtnWithColor.h"
#include "TFormMainUi.h"
#include "TLbSpeedButton.h"
#include "TOvalButton.h"
#include "TickSource.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

namespace {
const TColor EntryColor = rgbColor(0x00, 0x80, 0xFF);

void setEnabled(std::initializer_list<QWidget *> widgets, bool on)
{
    for (QWidget *w : widgets)
        w->setEnabled(on);
}
} // namespace

ResultsProtocol::ResultsProtocol(TFormMainUi &ui, LiveState &live, ClockDisplay &clock,
                                 RunControl &run, RunScoring &scoring, ProtocolGrid &grid,
                                 StarterList &starters, RunHooks &hooks, QObject *parent)
    : QObject(parent), m_ui(ui), m_live(live), m_clock(clock), m_run(run), m_scoring(scoring),
      m_grid(grid), m_starters(starters), m_hooks(hooks)
{
    connect(m_ui.bEINTRAGEN, &TBitBtnWithColor::mousePressed, this,
            &ResultsProtocol::bEINTRAGENMouseDown);
    connect(m_ui.bEINTRAGEN, &QPushButton::clicked, this, &ResultsProtocol::mEintragenClick);
    connect(m_ui.mEintragen, &QAction::triggered, this, &ResultsProtocol::mEintragenClick);
    for (QPushButton *b : {m_ui.bAbbruch, m_ui.bNoStart, m_ui.bAus})
        connect(b, &QPushButton::clicked, this, [this, b] { bAbbruchClick(b); });
    connect(m_ui.mAbbruch, &QAction::triggered, this, [this] { bAbbruchClick(m_ui.mAbbruch); });
    // NEXT as the operator gives it; clearing the protocol resets the run without it.
    connect(m_ui.bRESET, &QPushButton::clicked, this, &ResultsProtocol::nextRider);
    connect(m_ui.mReset, &QAction::triggered, this, &ResultsProtocol::nextRider);
    connect(m_ui.sbCLS, &QToolButton::clicked, this, &ResultsProtocol::sbCLSClick);
    connect(m_ui.Strokadelete, &QAction::triggered, this, &ResultsProtocol::StrokadeleteClick);
    connect(m_ui.Beenden1, &QAction::triggered, this, &ResultsProtocol::bExitClick);
    connect(m_ui.SortGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        // "Zeile entfernen" must take the row the operator pointed at, not one selected before.
        const QModelIndex index = m_ui.SortGrid1->indexAt(p);
        if (index.isValid())
            m_ui.SortGrid1->selectGridRow(index.row() + 1);
        m_ui.PopupMenu1->popup(m_ui.SortGrid1->viewport()->mapToGlobal(p));
    });
}

void ResultsProtocol::bEINTRAGENMouseDown()
{
    // The press enters; the release then finds the button disabled.
    mEintragenClick();
}

bool ResultsProtocol::EnterRun()
{
    TSortGrid *grid = m_ui.SortGrid1;
    RunEntry entry;
    entry.startNumber = m_ui.cbStNr->currentText();
    entry.headNumber = m_ui.cbKNr->currentText();
    entry.horse = m_ui.ePferd->text();
    entry.rider = m_ui.Reiter->text();
    entry.club = m_ui.eVerein->text();
    entry.clockMs = ticksBetween(Run.RunStartTick, Run.RunStopTick);
    entry.penaltyText = m_ui.eStrafPkt->text();
    entry.faultText = m_ui.eHindPkt->text();
    entry.timeFaultText = m_ui.ePktSek->text();
    entry.procedure = RunScoring::procedure(m_ui);
    entry.abortText = AbortReasonText;
    entry.decimals = Settings.Acc;
    QStringList row;
    QString error;
    if (!buildProtocolRow(entry, row, &error)) {
        messageBoxes().error(m_ui.form, error);
        return false;
    }

    // Runs without a start number never replace each other: every one of them is a result.
    const QString key = row[ColStartNumber];
    int target = 0;
    for (int r = 1; r < grid->gridRowCount() && !target && !key.isEmpty(); ++r)
        if (grid->cells(ColStartNumber, r) == key)
            target = r;
    if (!target) {
        target = grid->gridRowCount() - 1;
        if (!grid->rowTexts(target).join(QString()).isEmpty()) {
            grid->appendRow(QStringList());
            ++target;
        }
    }
    grid->setRowTexts(target, row);
    grid->selectGridRow(target); // the selection follows the row through the ranking
    m_grid.RankProtocol();       // also selects the entered row again
    m_grid.SetProtocolColumnWidths();

    m_ui.bHF->setDownState(false);
    m_ui.bHF->setEnabled(false);
    m_ui.bAbbruch->setEnabled(false);
    return true;
}

void ResultsProtocol::mEintragenClick()
{
    if (!m_ui.bEINTRAGEN->isEnabled())
        return;
    const LiveState::Batch batch(m_live);
    m_ui.Clock->stop();
    // A penalty number typed but never added with "+" or "-" has not moved the clock either.
    m_scoring.cancelPenaltyEntry();
    if (!EnterRun())
        return;
    // After an abort the run has no time.
    const bool timed = Run.RunStartTick != 0 || Run.RunStopTick != 0;
    // An abort's entry says so: the log shows the key of the abort for it.
    const bool aborted = m_live.current().run.phase == RunPhase::Aborted;
    m_hooks.RunCommandGiven(
        RunCommand::Entry, timed ? ticksBetween(Run.RunStartTick, Run.RunStopTick) : -1,
        aborted ? QStringLiteral("(ABBRUCH %1)").arg(AbortReasonText) : QString());
    const TSortGrid *grid = m_ui.SortGrid1;
    const int current = grid->currentGridRow();
    const QString text = QStringLiteral("%1:%2   %3:%4")
                             .arg(grid->cells(ColPoints, 0), grid->cells(ColPoints, current),
                                  grid->cells(ColRank, 0), grid->cells(ColRank, current));
    m_live.changeRun([](LiveRun &run) { run.enter(); });
    m_live.enterResult({grid->rowTexts(current), grid->cells(ColRank, current), text});
    m_live.setInfo(text);
    setEnabled({m_ui.bAbbruch, m_ui.bAus, m_ui.eHindPkt, m_ui.bPlus4, m_ui.bMinus4, m_ui.cbPlus,
                m_ui.eStrafPkt, m_ui.bStrafsek4, m_ui.bStrafsek6, m_ui.bStrafsek8, m_ui.bStrafsek10,
                m_ui.bEINTRAGEN},
               false);
    m_ui.bEINTRAGEN->setColor(Colors::clBtnFace);
    m_ui.bAus->setColor(Colors::clBtnFace);
    setEnabled({m_ui.bRESET, m_ui.rbModeA, m_ui.rbModeC, m_ui.rbModeCfahren}, true);
    Run.RunStopTick = Run.RunStartTick;
    m_ui.bCFG->setEnabled(true);
    m_ui.bRESET->setFocus();
    UpdateProtocolButtons();
}

void ResultsProtocol::bAbbruchClick(QObject *sender)
{
    if (auto *w = qobject_cast<QWidget *>(sender); w && !w->isEnabled())
        return;
    if (sender == m_ui.mAbbruch && !m_ui.mAbbruch->isEnabled())
        return;
    const LiveState::Batch batch(m_live);
    // A run still on (running or held) is aborted at its time now; a countdown at the tick now.
    const bool onCourse = !Run.CountdownActive && m_ui.bHF->isEnabled();
    const quint32 at = onCourse && !m_ui.Clock->isActive() ? Run.RunHoldTick : tickNow();
    const qint32 elapsed = onCourse ? ticksBetween(Run.RunStartTick, at) : -1;
    m_ui.Clock->stop();
    m_live.changeRun([at](LiveRun &run) { run.abort(at); });
    const int tag = sender->property("Tag").toInt();
    AbortReasonText = tag == 1   ? QStringLiteral("N.st.")
                      : tag == 2 ? QStringLiteral("Ret.")
                                 : QStringLiteral("EL");
    m_hooks.RunCommandGiven(RunCommand::Abort, elapsed, AbortReasonText);
    if (tag != 1)
        m_clock.PlayCue(Settings.Sound1);

    m_ui.bNoStart->setEnabled(false);
    m_ui.bNoStart->setColor(Colors::clBtnFace);
    m_ui.bAus->setEnabled(false);
    m_ui.bAus->setColor(Colors::clBtnFace);
    m_ui.seELZmain->setEnabled(true);
    m_ui.bSTART->setEnabled(false);
    m_ui.bSTART->setColor(Colors::clBtnFace);
    m_ui.bSTOP->setEnabled(false);
    m_ui.bSTOP->setColor(Colors::clBtnFace);
    Run.RunStopTick = 0;
    Run.RunStartTick = 0;
    m_ui.bEINTRAGEN->setEnabled(true);
    m_ui.bEINTRAGEN->setColor(EntryColor);
    m_ui.bEINTRAGEN->setFocus();
    m_ui.bTimer->setEnabled(false);
    m_ui.bTimer->setColor(Colors::clBtnFace);
    m_ui.bRESET->setEnabled(true);
    setEnabled({m_ui.sbS1, m_ui.sbS2, m_ui.sbS3, m_ui.bStrafsek4, m_ui.bStrafsek6, m_ui.bStrafsek8,
                m_ui.bStrafsek10, m_ui.eStrafPkt},
               false);
    m_run.SetCellArmed(m_ui.ImageLSstart, 0);
    m_run.SetCellArmed(m_ui.ImageLSstop, 0);

    m_ui.bEINTRAGEN->click();
    const QString eliminated = LanguageText(LanguageLine::Eliminated);
    // The entry's result line gives way to the abort's.
    LiveSnapshot::Result result = m_live.current().result;
    if (!result.row.isEmpty()) {
        result.text = eliminated;
        m_live.setResult(result);
    }
    m_live.setInfo(eliminated);
    UpdateProtocolButtons();
}

void ResultsProtocol::nextRider()
{
    const LiveState::Batch batch(m_live);
    m_hooks.RunCommandGiven(RunCommand::Next, -1, {});
    bRESETClick();
}

void ResultsProtocol::bRESETClick()
{
    const LiveState::Batch batch(m_live);
    m_ui.seELZmain->setEnabled(true);
    m_ui.ePktSek->setText(LocaleNumbers::fixed2(0));
    m_ui.eHindPkt->setText(QStringLiteral("0"));
    m_ui.eStrafPkt->setText(QStringLiteral("0"));
    if (m_ui.sb1p->isEnabled()) {
        m_ui.cbStNr->setEditText(QString());
    } else {
        bool whole = false;
        const qint64 number = m_ui.cbStNr->currentText().trimmed().toLongLong(&whole);
        if (whole)
            m_ui.cbStNr->setEditText(QString::number(number + 1));
    }
    m_ui.cbKNr->setEditText(QString());
    m_ui.Reiter->clear();
    m_ui.ePferd->clear();
    m_ui.eVerein->clear();

    m_ui.bNoStart->setEnabled(true);
    m_ui.bNoStart->setColor(Colors::clMaroon);
    m_ui.bAus->setEnabled(false);
    m_ui.bAus->setColor(Colors::clBtnFace);
    m_ui.bRESET->setEnabled(false);
    m_ui.bTimer->setEnabled(true);
    m_ui.bTimer->setColor(Colors::clYellow);
    m_ui.bTimer->setFontColor(Colors::clBlack);
    m_ui.bSTART->setEnabled(true);
    m_ui.bSTART->setColor(Colors::clGreen);
    setEnabled({m_ui.rbModeA, m_ui.rbModeC, m_ui.rbModeCfahren}, true);
    if (m_ui.sb1p->isEnabled())
        m_ui.sb1p->click();

    m_ui.bCFG->setEnabled(true);
    Run.ColorState = ColorReady;
    m_clock.ApplyColorState();
    Run.RunHoldTick = TRunState::NoHold;
    Run.CountdownActive = Settings.Timer > 0;
    m_clock.UpdateClockDisplay(0);
    m_ui.cbRezervLS->clear();
    m_ui.cbRezervLS->setEnabled(false);

    m_live.changeRun([](LiveRun &run) { run.next(); });
    m_live.setResult({});
    m_live.setInfo(QString());
    if (m_ui.bTimer->isEnabled() && m_ui.bTimer->isVisible())
        m_ui.bTimer->setFocus();
    else
        m_ui.bSTART->setFocus();
}

void ResultsProtocol::sbCLSClick()
{
    if (!messageBoxes().yesNo(m_ui.form, LanguageText(LanguageLine::ClearProtocolQuestion)))
        return;
    const LiveState::Batch batch(m_live);
    m_ui.SortGrid1->setDataRows({});
    m_starters.setStarters({}, {});
    m_ui.cbStNr->setEditText(QStringLiteral("0"));
    m_grid.SetProtocolColumnWidths();
    bRESETClick();
    UpdateProtocolButtons();
}

void ResultsProtocol::StrokadeleteClick()
{
    if (!messageBoxes().yesNo(m_ui.form, LanguageText(LanguageLine::DeleteRowQuestion)))
        return;
    const LiveState::Batch batch(m_live);
    const QModelIndexList selected = m_ui.SortGrid1->selectionModel()->selectedIndexes();
    int top = selected.isEmpty() ? m_ui.SortGrid1->currentGridRow() : INT_MAX;
    for (const QModelIndex &index : selected)
        top = qMin(top, index.row() + 1);
    if (top < 1 || top >= m_ui.SortGrid1->gridRowCount())
        return;
    m_ui.SortGrid1->deleteRow(top);
    m_grid.RankProtocol();
    UpdateProtocolButtons();
}

bool ResultsProtocol::FormCloseQuery()
{
    return messageBoxes().yesNo(m_ui.form, LanguageText(LanguageLine::QuitQuestion));
}

void ResultsProtocol::bExitClick()
{
    m_ui.form->close();
}

void ResultsProtocol::UpdateProtocolButtons()
{
    const TSortGrid *grid = m_ui.SortGrid1;
    // Any filled row counts: results without a start number must be savable too.
    bool hasData = false;
    for (int r = 1; r < grid->gridRowCount() && !hasData; ++r)
        hasData = !grid->rowTexts(r).join(QString()).isEmpty();
    for (QWidget *w : std::initializer_list<QWidget *>{m_ui.sbCLS, m_ui.sbSave, m_ui.sbPrint,
                                                       m_ui.sbWord, m_ui.sbExcel, m_ui.sbHTML})
        w->setEnabled(hasData);
}
