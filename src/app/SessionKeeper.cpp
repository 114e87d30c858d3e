#include "SessionKeeper.h"

#include "MessageBoxes.h"
#include "ProtocolGrid.h"
#include "ProtocolRow.h"
#include "ResultsProtocol.h"
#include "RunTimeText.h"
#include "Settings.h"
#include "StarterList.h"
#include "TBitBtnWithColor.h"
#include "TFormMain.h"
#include "TOvalButton.h"
#include "TSortGrid.h"
#include "TerminationSignals.h"
#include "WholeFile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QRadioButton>
#include <QTimer>

namespace {
QString g_folder;

constexpr int ShutdownWaitMs = 5000;
constexpr int MessageRetryMs = 500;

const QString ProcedureC = QStringLiteral("C");
const QString ProcedureCfahren = QStringLiteral("C fahren");

bool hasResults(const ProtocolRows &rows)
{
    for (qsizetype r = 1; r < rows.size(); ++r)
        for (const QString &cell : rows.at(r))
            if (!cell.isEmpty())
                return true;
    return false;
}
} // namespace

void setSessionFolder(const QString &folder)
{
    g_folder = folder;
}

QString sessionFolder()
{
    return g_folder;
}

SessionKeeper::SessionKeeper(TFormMain &window, const QString &folder, QObject *parent)
    : QObject(parent), m_window(window), m_ui(window.ui), m_writer(folder)
{
    m_delay.setSingleShot(true);
    m_delay.setInterval(SaveDelayMs);
    connect(&m_delay, &QTimer::timeout, this, [this] { save(false); });
    m_messageDelay.setSingleShot(true);
    m_messageDelay.setInterval(MessageRetryMs);
    connect(&m_messageDelay, &QTimer::timeout, this, &SessionKeeper::showFailureWhenIdle);
    connect(&m_writer, &SessionWriter::failed, this, &SessionKeeper::writeFailed);
    connect(&m_writer, &SessionWriter::recovered, this, &SessionKeeper::writeRecovered);
    watchChanges();
}

SessionKeeper::~SessionKeeper() = default;

void SessionKeeper::watchChanges()
{
    QAbstractItemModel *grid = m_ui.SortGrid1->model();
    connect(grid, &QAbstractItemModel::dataChanged, this, &SessionKeeper::changed);
    connect(grid, &QAbstractItemModel::headerDataChanged, this, &SessionKeeper::changed);
    connect(grid, &QAbstractItemModel::rowsInserted, this, &SessionKeeper::changed);
    connect(grid, &QAbstractItemModel::rowsRemoved, this, &SessionKeeper::changed);
    connect(grid, &QAbstractItemModel::modelReset, this, &SessionKeeper::changed);
    connect(grid, &QAbstractItemModel::layoutChanged, this, &SessionKeeper::changed);
    for (QComboBox *box : {m_ui.cbStNr, m_ui.cbKNr}) {
        connect(box->model(), &QAbstractItemModel::modelReset, this, &SessionKeeper::changed);
        connect(box, &QComboBox::currentIndexChanged, this, &SessionKeeper::changed);
        connect(box, &QComboBox::editTextChanged, this, &SessionKeeper::changed);
    }
    for (QRadioButton *mode : {m_ui.rbModeA, m_ui.rbModeC, m_ui.rbModeCfahren})
        connect(mode, &QRadioButton::toggled, this, &SessionKeeper::changed);
    for (QLineEdit *field : {m_ui.Reiter, m_ui.ePferd, m_ui.eVerein})
        connect(field, &QLineEdit::textChanged, this, &SessionKeeper::changed);
    // Connected after the protocol's own handler, so the row is gone when this runs.
    connect(m_ui.Strokadelete, &QAction::triggered, this, &SessionKeeper::keepNow);
}

void SessionKeeper::keepNow()
{
    // The run the program's end left on course is dealt with by the next entry or deletion.
    if (std::exchange(m_runOnCourseShown, false) && !m_writeFailing)
        clearWarning();
    if (m_finished)
        return;
    m_delay.stop();
    save(false);
}

void SessionKeeper::changed()
{
    // Not restarted by further changes: a stream of them is still written every interval.
    if (!m_finished && !m_delay.isActive())
        m_delay.start();
}

bool SessionKeeper::pending()
{
    return m_delay.isActive() || !m_writer.waitWritten(QDeadlineTimer(0));
}

SessionState SessionKeeper::currentState() const
{
    SessionState state;
    state.procedure = m_ui.rbModeCfahren->isChecked() ? ProcedureCfahren
                      : m_ui.rbModeC->isChecked()     ? ProcedureC
                                                      : QStringLiteral("A");
    state.starters = m_window.starters().items();
    state.headNumbers = m_window.starters().headNumbers();
    state.position = state.starters.isEmpty() ? -1 : m_ui.cbStNr->currentIndex();
    state.startNumber = m_ui.cbStNr->currentText();
    state.headNumber = m_ui.cbKNr->currentText();
    state.rider = m_ui.Reiter->text();
    state.horse = m_ui.ePferd->text();
    state.club = m_ui.eVerein->text();
    return state;
}

void SessionKeeper::save(bool closed, qint32 runOnCourseMs)
{
    SessionState state = currentState();
    state.closed = closed;
    state.runOnCourseMs = runOnCourseMs;
    m_writer.keepSession(m_ui.SortGrid1->allRowTexts(), state);
}

void SessionKeeper::finish(bool closed, qint32 runOnCourseMs)
{
    if (m_finished)
        return;
    m_finished = true;
    m_delay.stop();
    save(closed, runOnCourseMs);
    m_writer.waitWritten(QDeadlineTimer(ShutdownWaitMs));
}

void SessionKeeper::restoreOrSetAside()
{
    const QDir dir(m_writer.folder());
    dir.mkpath(QStringLiteral("."));
    m_lock = std::make_unique<QLockFile>(dir.filePath(QStringLiteral("sitzung.lock")));
    // Held until the program ends, however long; a crashed holder's lock is taken over.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0) && m_lock->error() == QLockFile::LockFailedError) {
        // Another window of the program keeps its session here: this one must neither offer
        // it back nor write over it.
        keepNothing(QStringLiteral("Rittmeter läuft schon in einem anderen Fenster, das sein "
                                   "Protokoll in\n%1\nsichert.")
                        .arg(QDir::toNativeSeparators(dir.path())));
        return;
    }
    QByteArray bytes;
    QString reason;
    SessionState state;
    const bool haveState =
        readWholeFile(dir.filePath(SessionStateName), MaxImportBytes, bytes, reason) &&
        readSessionState(bytes, state);
    ProtocolRows rows;
    const bool haveProtocol =
        readWholeFile(dir.filePath(SessionProtocolName), MaxImportBytes, bytes, reason);
    if (haveProtocol)
        rows = parseTextList(QString::fromUtf8(bytes), ProtocolColumnCount);
    if (!haveState && !haveProtocol)
        return;
    const bool worthKeeping =
        hasResults(rows) || !state.starters.isEmpty() || state.runOnCourseMs >= 0;
    // A state that cannot be read did not end in order either.
    if (worthKeeping && !(haveState && state.closed) &&
        messageBoxes().yesNo(m_ui.form,
                             QStringLiteral("Protokoll der letzten Sitzung wiederherstellen?"))) {
        restore(rows, state);
        if (state.runOnCourseMs >= 0)
            showRunOnCourse(state);
        return;
    }
    if (!worthKeeping)
        return;
    // Ended by a logout while asking: the files stay, to be offered at the next start.
    if (TerminationSignals::requested())
        m_finished = true;
    else if (!setAside())
        keepNothing(QStringLiteral("Das Protokoll der letzten Sitzung in\n%1\nlässt sich nicht "
                                   "umbenennen und bleibt, wie es ist.")
                        .arg(QDir::toNativeSeparators(dir.path())));
}

void SessionKeeper::keepNothing(const QString &why)
{
    m_finished = true;
    showWarning(QStringLiteral("Protokoll wird nicht laufend gesichert"));
    messageBoxes().error(m_ui.form, why + QStringLiteral(" Das Protokoll dieses Fensters wird "
                                                         "nicht laufend gesichert; speichern "
                                                         "Sie es von Hand."));
}

void SessionKeeper::restore(const ProtocolRows &rows, const SessionState &state)
{
    m_window.protocolGrid().setHeadings(rows.value(0));
    ProtocolRows data = rows.mid(1);
    for (QStringList &row : data)
        row.resize(ProtocolColumnCount);
    m_ui.SortGrid1->setDataRows(std::move(data));

    if (state.procedure == ProcedureCfahren)
        m_ui.rbModeCfahren->setChecked(true);
    else if (state.procedure == ProcedureC)
        m_ui.rbModeC->setChecked(true);
    else
        m_ui.rbModeA->setChecked(true);

    m_window.starters().setStarters(state.starters, state.headNumbers);
    if (!state.starters.isEmpty()) {
        m_ui.cbStNr->setCurrentIndex(qMax(0, state.position));
    } else {
        m_ui.cbStNr->setEditText(state.startNumber);
        m_ui.cbKNr->setEditText(state.headNumber);
    }
    // Typed without a list, or the rider of a run the program ended: as they were shown.
    if (state.starters.isEmpty() || state.runOnCourseMs >= 0) {
        m_ui.Reiter->setText(state.rider);
        m_ui.ePferd->setText(state.horse);
        m_ui.eVerein->setText(state.club);
    }
    m_window.protocolGrid().SetProtocolColumnWidths();
    m_window.protocol().UpdateProtocolButtons();
}

void SessionKeeper::showRunOnCourse(const SessionState &state)
{
    const QString time = FormatRunTime(state.runOnCourseMs, Settings.Acc);
    m_runOnCourseShown = true;
    showWarning(
        QStringLiteral("Lauf nicht eingetragen: Nr. %1, %2 s").arg(state.startNumber, time));
    messageBoxes().warning(
        m_ui.form, QApplication::applicationName(),
        QStringLiteral("Als das Programm endete, war der Lauf von Startnummer %1 (%2, %3) "
                       "nicht eingetragen. Die Uhr zeigte %4 s.\n\nDer Starter ist wieder "
                       "eingestellt: Starten Sie den Lauf neu oder tragen Sie das Ergebnis im "
                       "Protokoll ein. Das Impulsprotokoll nennt die Zeit ebenfalls.")
            .arg(state.startNumber, state.rider, state.horse, time));
}

bool SessionKeeper::setAside()
{
    QDir dir(m_writer.folder());
    for (const QString &name : {SessionProtocolName, SessionStateName}) {
        const QFileInfo kept(dir.filePath(name));
        if (!kept.exists())
            continue;
        int attempt = 1;
        while (dir.exists(asideName(name, kept.lastModified(), attempt)))
            ++attempt;
        if (!dir.rename(name, asideName(name, kept.lastModified(), attempt)))
            return false;
    }
    return true;
}

void SessionKeeper::writeFailed(const QString &path, const QString &reason)
{
    m_writeFailing = true;
    showWarning(QStringLiteral("Sicherung nicht möglich: %1").arg(reason),
                QDir::toNativeSeparators(path));
    m_failureMessage =
        QStringLiteral("Das Protokoll und das Impulsprotokoll können nicht gesichert werden:\n"
                       "%1\n%2\n\nDie Zeitnahme läuft weiter. Speichern Sie das Protokoll von "
                       "Hand, sobald es geht.")
            .arg(QDir::toNativeSeparators(path), reason);
    showFailureWhenIdle();
}

void SessionKeeper::showWarning(const QString &text, const QString &tip)
{
    QLabel *panel = m_ui.StatusPanels[1];
    if (m_statusText.isNull())
        m_statusText = panel->text();
    panel->setText(text);
    panel->setToolTip(tip);
    panel->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
}

void SessionKeeper::clearWarning()
{
    QLabel *panel = m_ui.StatusPanels[1];
    panel->setText(m_statusText);
    panel->setToolTip(QString());
    panel->setStyleSheet(QString());
    m_statusText = QString();
}

void SessionKeeper::writeRecovered()
{
    m_writeFailing = false;
    clearWarning();
    m_failureMessage.clear();
    m_messageDelay.stop();
}

void SessionKeeper::showFailureWhenIdle()
{
    if (m_failureMessage.isEmpty())
        return;
    // Never a modal box: the next rider's F5 must reach the window. Not over a running clock
    // either: it waits until the run is over.
    if (m_ui.Clock->isActive() || m_ui.bHF->isEnabled() || m_ui.bSTOP->isEnabled()) {
        m_messageDelay.start();
        return;
    }
    const QString message = std::exchange(m_failureMessage, QString());
    messageBoxes().notice(m_ui.form, message);
}
