#include "SessionKeeper.h"

#include "LiveState.h"
#include "MessageBoxes.h"
#include "ProtocolRow.h"
#include "RunTimeText.h"
#include "Settings.h"
#include "TerminationSignals.h"
#include "WholeFile.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLockFile>
#include <QTimer>
#include <algorithm>

namespace {
QString g_folder;

constexpr int ShutdownWaitMs = 5000;
constexpr int MessageRetryMs = 500;

int filledRows(const ProtocolRows &rows)
{
    int filled = 0;
    for (qsizetype r = 1; r < rows.size(); ++r)
        filled += std::any_of(rows.at(r).cbegin(), rows.at(r).cend(),
                              [](const QString &cell) { return !cell.isEmpty(); });
    return filled;
}

JudgingProcedure procedureOf(const QString &text)
{
    for (JudgingProcedure p : {JudgingProcedure::C, JudgingProcedure::CFahren}) {
        if (text == JudgingProcedureName(p))
            return p;
    }
    return JudgingProcedure::A;
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

SessionKeeper::SessionKeeper(LiveState &live, SessionControls controls, const QString &folder,
                             QObject *parent)
    : QObject(parent), m_live(live), m_controls(std::move(controls)), m_writer(folder)
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
    const std::shared_ptr<const LiveSnapshot> now = m_live.snapshot();
    m_procedure = now->competition.procedure;
    m_filledRows = filledRows(now->protocol);
    connect(&m_live, &LiveState::starterChanged, this, &SessionKeeper::changed);
    connect(&m_live, &LiveState::resultsChanged, this, &SessionKeeper::resultsChanged);
    // Of the competition only the procedure is kept.
    connect(&m_live, &LiveState::titlesChanged, this, [this] {
        const JudgingProcedure procedure = m_live.snapshot()->competition.procedure;
        if (std::exchange(m_procedure, procedure) != procedure)
            changed();
        else
            keepHeldBack();
    });
    // The run is not kept; its command may still have to be.
    connect(&m_live, &LiveState::runChanged, this, &SessionKeeper::keepHeldBack);
}

void SessionKeeper::keepNow()
{
    // The run the program's end left on course is dealt with by the next entry or deletion.
    if (std::exchange(m_runOnCourseShown, false) && !m_writeFailing)
        clearWarning();
    if (m_finished)
        return;
    // Within a command the state is complete when the command ends, and announces itself then.
    if (m_live.batching()) {
        m_keepAtCommandEnd = true;
        return;
    }
    m_delay.stop();
    save(false);
}

bool SessionKeeper::keepHeldBack()
{
    if (!std::exchange(m_keepAtCommandEnd, false))
        return false;
    keepNow();
    return true;
}

void SessionKeeper::changed()
{
    if (keepHeldBack())
        return;
    // Not restarted by further changes: a stream of them is still written every interval.
    if (!m_finished && !m_delay.isActive())
        m_delay.start();
}

void SessionKeeper::resultsChanged()
{
    // A result gone from the protocol must not come back after a kill.
    const int filled = filledRows(m_live.snapshot()->protocol);
    if (std::exchange(m_filledRows, filled) > filled)
        keepNow();
    else
        changed();
}

bool SessionKeeper::pending()
{
    return m_delay.isActive() || !m_writer.waitWritten(QDeadlineTimer(0));
}

SessionState SessionKeeper::currentState(const LiveSnapshot &now)
{
    SessionState state;
    state.procedure = JudgingProcedureName(now.competition.procedure);
    const LiveSnapshot::Starter &starter = now.starter;
    state.starters = starter.items;
    state.headNumbers = starter.headNumbers;
    state.position = state.starters.isEmpty() ? -1 : starter.position;
    state.startNumber = starter.startNumber;
    state.headNumber = starter.headNumber;
    state.rider = starter.rider;
    state.horse = starter.horse;
    state.club = starter.club;
    return state;
}

void SessionKeeper::save(bool closed, qint32 runOnCourseMs)
{
    const std::shared_ptr<const LiveSnapshot> now = m_live.snapshot();
    SessionState state = currentState(*now);
    state.closed = closed;
    state.runOnCourseMs = runOnCourseMs;
    m_writer.keepSession(now->protocol, state);
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
        filledRows(rows) > 0 || !state.starters.isEmpty() || state.runOnCourseMs >= 0;
    // A state that cannot be read did not end in order either.
    if (worthKeeping && !(haveState && state.closed) &&
        messageBoxes().yesNo(m_controls.window,
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
    messageBoxes().error(m_controls.window,
                         why + QStringLiteral(" Das Protokoll dieses Fensters wird "
                                              "nicht laufend gesichert; speichern "
                                              "Sie es von Hand."));
}

void SessionKeeper::restore(const ProtocolRows &rows, const SessionState &state)
{
    const LiveState::Batch batch(m_live);
    m_controls.setProtocol(rows);
    m_controls.setProcedure(procedureOf(state.procedure));
    m_controls.setStarters(state.starters, state.headNumbers);
    if (!state.starters.isEmpty())
        m_controls.chooseStarter(qMax(0, state.position));
    else
        m_controls.typeStartNumber(state.startNumber, state.headNumber);
    // Typed without a list, or the rider of a run the program ended: as they were shown.
    if (state.starters.isEmpty() || state.runOnCourseMs >= 0)
        m_controls.typeStarter(state.horse, state.rider, state.club);
    m_controls.updateProtocolButtons();
}

void SessionKeeper::showRunOnCourse(const SessionState &state)
{
    const QString time = FormatRunTime(state.runOnCourseMs, Settings.Acc);
    m_runOnCourseShown = true;
    showWarning(
        QStringLiteral("Lauf nicht eingetragen: Nr. %1, %2 s").arg(state.startNumber, time));
    messageBoxes().warning(
        m_controls.window, QApplication::applicationName(),
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
    QLabel *panel = m_controls.statusPanel;
    if (m_statusText.isNull())
        m_statusText = panel->text();
    panel->setText(text);
    panel->setToolTip(tip);
    panel->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
}

void SessionKeeper::clearWarning()
{
    QLabel *panel = m_controls.statusPanel;
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
    const LiveRun run = m_live.snapshot()->run;
    const bool onCourse = run.phase == RunPhase::Running || run.phase == RunPhase::Held ||
                          run.phase == RunPhase::Stopped ||
                          (run.phase == RunPhase::Countdown && !run.standing);
    if (onCourse) {
        m_messageDelay.start();
        return;
    }
    const QString message = std::exchange(m_failureMessage, QString());
    messageBoxes().notice(m_controls.window, message);
}
