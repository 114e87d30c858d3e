#include "SessionWriter.h"

#include "ImpulseLogFormat.h"
#include "WholeFile.h"

#include <QDir>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace {
constexpr int ShutdownWaitMs = 5000;

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool makeFolder(const QString &folder, QString &reason)
{
    errno = 0;
    if (QDir().mkpath(folder))
        return true;
    reason = errno ? systemText(errno) : QStringLiteral("Der Ordner kann nicht angelegt werden.");
    return false;
}

bool writeAll(int fd, const QByteArray &bytes, int &error)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}
} // namespace

// Everything the writing thread touches. It outlives the writer when the disk hangs at the end,
// so a write that returns late finds its state still there.
class SessionWriter::Worker : public QObject
{
    Q_OBJECT
public:
    explicit Worker(const QString &folder) : m_folder(folder) {}
    ~Worker() override
    {
        if (m_logFd >= 0)
            ::close(m_logFd);
    }

    void post(std::function<void()> work)
    {
        {
            QMutexLocker lock(&m_mutex);
            ++m_posted;
        }
        QMetaObject::invokeMethod(
            this,
            [this, work = std::move(work)] {
                work();
                QMutexLocker lock(&m_mutex);
                ++m_finished;
                m_done.wakeAll();
            },
            Qt::QueuedConnection);
    }

    void keepSession(const ProtocolRows &rows, const SessionState &state)
    {
        {
            QMutexLocker lock(&m_mutex);
            m_pending = Snapshot{rows, state};
            if (m_sessionPosted)
                return; // the write still waiting takes this one
            m_sessionPosted = true;
        }
        post([this] { writeSession(); });
    }

    bool waitWritten(QDeadlineTimer deadline)
    {
        QMutexLocker lock(&m_mutex);
        while (m_finished < m_posted)
            if (!m_done.wait(&m_mutex, deadline))
                return false;
        return true;
    }

    void writeLogLine(const QDate &day, const QString &line);

signals:
    void failed(const QString &path, const QString &reason);
    void recovered();

private:
    enum Target
    {
        Session,
        Log
    };
    void writeSession();
    void report(Target target, bool ok, const QString &path = {}, const QString &reason = {});

    const QString m_folder;
    QMutex m_mutex;
    QWaitCondition m_done;
    quint64 m_posted = 0;
    quint64 m_finished = 0;
    struct Snapshot
    {
        ProtocolRows rows;
        SessionState state;
    };
    std::optional<Snapshot> m_pending;
    bool m_sessionPosted = false;

    // The writing thread's own.
    bool m_failing[2] = {false, false};
    QDate m_logDay;
    int m_logFd = -1;
};

void SessionWriter::Worker::writeSession()
{
    Snapshot snapshot;
    {
        QMutexLocker lock(&m_mutex);
        snapshot = std::move(*m_pending);
        m_pending.reset();
        m_sessionPosted = false;
    }
    QString reason;
    if (!makeFolder(m_folder, reason)) {
        report(Session, false, m_folder, reason);
        return;
    }
    const QDir dir(m_folder);
    // The state first: a protocol without its lists is the smaller loss.
    for (const auto &[name, bytes] :
         {std::pair{SessionStateName, writeSessionState(snapshot.state)},
          std::pair{SessionProtocolName, writeTextProtocol(snapshot.rows)}}) {
        if (!writeWholeFile(dir.filePath(name), bytes, reason)) {
            report(Session, false, dir.filePath(name), reason);
            return;
        }
    }
    report(Session, true);
}

void SessionWriter::Worker::writeLogLine(const QDate &day, const QString &line)
{
    const QString path = QDir(m_folder).filePath(impulseLogName(day));
    int error = 0;
    if (m_logFd < 0 || day != m_logDay) {
        if (m_logFd >= 0)
            ::close(m_logFd);
        QString reason;
        if (!makeFolder(m_folder, reason)) {
            report(Log, false, m_folder, reason);
            return;
        }
        m_logFd = ::open(QFile::encodeName(path).constData(),
                         O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (m_logFd < 0) {
            report(Log, false, path, systemText(errno));
            return;
        }
        m_logDay = day;
        // A new file names its columns first.
        if (::lseek(m_logFd, 0, SEEK_END) == 0 &&
            !writeAll(m_logFd, impulseLogHeading().toUtf8() + '\n', error)) {
            report(Log, false, path, systemText(error));
            return;
        }
    }
    // One write per line: an append of its own that a crash cannot split from its line end.
    bool written = writeAll(m_logFd, line.toUtf8() + '\n', error);
    if (written && ::fdatasync(m_logFd) != 0 && errno != EINVAL) {
        error = errno;
        written = false;
    }
    if (!written) {
        report(Log, false, path, systemText(error));
        // Opened afresh next time: the folder may come back.
        ::close(m_logFd);
        m_logFd = -1;
        return;
    }
    report(Log, true);
}

void SessionWriter::Worker::report(Target target, bool ok, const QString &path,
                                   const QString &reason)
{
    const bool wasFailing = m_failing[Session] || m_failing[Log];
    m_failing[target] = !ok;
    const bool failing = m_failing[Session] || m_failing[Log];
    if (failing && !wasFailing)
        emit failed(path, reason);
    else if (!failing && wasFailing)
        emit recovered();
}

SessionWriter::SessionWriter(const QString &folder, QObject *parent)
    : QObject(parent), m_folder(folder), m_thread(new QThread), m_worker(new Worker(folder))
{
    m_thread->setObjectName(QStringLiteral("SessionWriter"));
    m_worker->moveToThread(m_thread);
    connect(m_worker, &Worker::failed, this, &SessionWriter::failed);
    connect(m_worker, &Worker::recovered, this, &SessionWriter::recovered);
    m_thread->start();
    // Behind the clock, yet never starved: a busy machine still gets the files written.
    QMetaObject::invokeMethod(m_worker, [] { ::setpriority(PRIO_PROCESS, ::gettid(), 10); });
}

SessionWriter::~SessionWriter()
{
    // A disk that hangs keeps its thread; the process is ending anyway.
    if (!m_worker->waitWritten(QDeadlineTimer(ShutdownWaitMs)))
        return;
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
    delete m_thread;
}

void SessionWriter::keepSession(const ProtocolRows &rows, const SessionState &state)
{
    m_worker->keepSession(rows, state);
}

void SessionWriter::appendLog(const QDate &day, const QString &line)
{
    m_worker->post([worker = m_worker, day, line] { worker->writeLogLine(day, line); });
}

bool SessionWriter::waitWritten(QDeadlineTimer deadline)
{
    return m_worker->waitWritten(deadline);
}

#include "SessionWriter.moc"
