#pragma once

#include "SessionControls.h"
#include "SessionFiles.h"
#include "SessionWriter.h"
#include "TextProtocol.h"

#include <QObject>
#include <QTimer>
#include <memory>

class LiveState;
struct LiveSnapshot;
class QLockFile;

// Keeps the protocol, the starter lists, the selected starter and the judging procedure on the
// disk as they change, so a crash, a kill or a power cut loses nothing; offers them back at the
// next start. A disk that takes nothing is reported once, and timing goes on. What it keeps is
// the live state's; what it brings back goes through the window's controls.
class SessionKeeper : public QObject
{
    Q_OBJECT
public:
    SessionKeeper(LiveState &live, SessionControls controls, const QString &folder,
                  QObject *parent = nullptr);
    ~SessionKeeper() override;

    // At start: asks to bring back a session that did not end with "Beenden?"; one not brought
    // back, or ended, is set aside under its date. While another window of the program keeps
    // its session in the folder, this one keeps nothing and says so.
    void restoreOrSetAside();
    // Writes the last state and waits for it. closed: the operator ended the session;
    // runOnCourseMs: the time of a run not entered then, kept with its rider, -1 for none.
    void finish(bool closed, qint32 runOnCourseMs = -1);
    // An entry or a deleted row: handed to the writer now, as a kill may come any moment; within
    // a command, as soon as the command is complete.
    void keepNow();
    // A change is not yet on the disk.
    bool pending();

    SessionWriter &writer() { return m_writer; }

    // Written within this time of a change.
    static constexpr int SaveDelayMs = 50;

private:
    void watchChanges();
    void changed();
    void resultsChanged();
    // A keepNow() held back until its command ended: done now. False when none was due.
    bool keepHeldBack();
    void save(bool closed, qint32 runOnCourseMs = -1);
    static SessionState currentState(const LiveSnapshot &now);
    void restore(const ProtocolRows &rows, const SessionState &state);
    void showRunOnCourse(const SessionState &state);
    // False when a file could not be renamed; it is then still in place.
    bool setAside();
    // The last session's files stay as they are, and this window writes none: says why.
    void keepNothing(const QString &why);
    void writeFailed(const QString &path, const QString &reason);
    void writeRecovered();
    // In the status bar's wide panel, in red, until writing works again or, for a run left on
    // course, until the next entry; clearWarning() puts the panel's own text back.
    void showWarning(const QString &text, const QString &tip = {});
    void clearWarning();
    void showFailureWhenIdle();

    LiveState &m_live;
    const SessionControls m_controls;
    SessionWriter m_writer;
    QTimer m_delay;
    QTimer m_messageDelay;
    QString m_failureMessage; // a report still to be shown
    QString m_statusText;     // the status panel's own text, while it shows the failure
    std::unique_ptr<QLockFile> m_lock;
    bool m_finished = false;
    bool m_writeFailing = false;
    bool m_runOnCourseShown = false; // its red status line stays until the next entry
    bool m_keepAtCommandEnd = false;
    JudgingProcedure m_procedure = JudgingProcedure::A; // as last seen
    int m_filledRows = 0;                               // results in the protocol, as last seen
};

// The folder the session and the impulse log are kept in. Empty, the default, keeps nothing:
// the program sets its data folder, a test a folder of its own.
void setSessionFolder(const QString &folder);
QString sessionFolder();
