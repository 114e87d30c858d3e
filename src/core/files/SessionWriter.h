#pragma once

#include "SessionFiles.h"
#include "TextProtocol.h"

#include <QDate>
#include <QDeadlineTimer>
#include <QObject>

class QThread;

// Writes the kept session and the impulse log on a thread of its own, so a slow or full disk
// never holds the clock. Calls come from the owner's thread and never wait for the disk.
class SessionWriter : public QObject
{
    Q_OBJECT
public:
    explicit SessionWriter(const QString &folder, QObject *parent = nullptr);
    // Waits a while for what was handed over; a disk that hangs longer is left behind.
    ~SessionWriter() override;

    QString folder() const { return m_folder; }

    // Only the latest session not yet written is written: both files, each replaced whole.
    void keepSession(const ProtocolRows &rows, const SessionState &state);
    // Appended to the day's log at once, and pushed to the disk.
    void appendLog(const QDate &day, const QString &line);

    // Until everything handed over is written, or the deadline; false on the deadline.
    bool waitWritten(QDeadlineTimer deadline);

signals:
    // Once when writing stops working, and once when it works again.
    void failed(const QString &path, const QString &reason);
    void recovered();

private:
    class Worker;
    const QString m_folder;
    QThread *m_thread = nullptr;
    Worker *m_worker = nullptr; // lives in m_thread
};
