#include "LinuxSerialBackend.h"

#include "LinuxSerialTermios.h"

#include <QFile>

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>

namespace {

int wakeSignal()
{
    return SIGRTMIN + 4;
}

void ignoreWake(int) {}

// Without SA_RESTART, so that a blocked TIOCMIWAIT returns EINTR.
void installWakeHandler()
{
    static const bool installed = [] {
        struct sigaction action = {};
        action.sa_handler = ignoreWake;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        return sigaction(wakeSignal(), &action, nullptr) == 0;
    }();
    Q_UNUSED(installed);
}

struct LineEvent
{
    quint32 event;
    int line;
    quint32 modemLine;
};

// In the order of Snapshot::counts.
constexpr LineEvent lineEvents[] = {
    {ComEvent::CTS, TIOCM_CTS, ModemLine::CTS},
    {ComEvent::DSR, TIOCM_DSR, ModemLine::DSR},
    {ComEvent::RLSD, TIOCM_CD, ModemLine::RLSD},
    {ComEvent::Ring, TIOCM_RNG, ModemLine::Ring},
};

// A pseudo-terminal or a converter without modem lines.
bool hasNoModemLines(int error)
{
    return error == ENOTTY || error == EINVAL;
}

bool setLine(int fd, int line, bool raised)
{
    return ioctl(fd, raised ? TIOCMBIS : TIOCMBIC, &line) == 0 || hasNoModemLines(errno);
}

} // namespace

LinuxSerialBackend::LinuxSerialBackend()
{
    installWakeHandler();
}

LinuxSerialBackend::~LinuxSerialBackend()
{
    close();
}

bool LinuxSerialBackend::present(int port)
{
    const QString path = serialDevicePath(port);
    if (path.isEmpty())
        return false;
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    // A port another program holds does not count; the lock is dropped with the descriptor.
    const bool free = isatty(fd) && flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

bool LinuxSerialBackend::accessDenied(int port)
{
    const QString path = serialDevicePath(port);
    return !path.isEmpty() && ::access(QFile::encodeName(path).constData(), R_OK | W_OK) != 0 &&
           errno == EACCES;
}

bool LinuxSerialBackend::open(int port)
{
    const QString path = serialDevicePath(port);
    if (!path.isEmpty())
        return openDevice(path);
    close();
    m_interrupted = false;
    return fail(ENODEV);
}

bool LinuxSerialBackend::openDevice(const QString &path)
{
    close();
    m_interrupted = false;
    m_haveReport = false;
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    // TIOCEXCL does not keep out root, nor a second open in this process; the lock does.
    if (ioctl(fd, TIOCEXCL) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return fail(EBUSY);
    }
    m_fd = fd;
    return true;
}

bool LinuxSerialBackend::configure(const SerialLineSettings &settings)
{
    if (m_fd < 0)
        return fail(EBADF);
    if (const int error = LinuxSerialTermios::apply(m_fd, settings))
        return fail(error);
    if (!setLine(m_fd, TIOCM_DTR, settings.enableDTR) ||
        !setLine(m_fd, TIOCM_RTS, settings.flowControl == 1))
        return fail(errno);
    return true;
}

void LinuxSerialBackend::close()
{
    if (m_fd < 0)
        return;
    ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
}

QString LinuxSerialBackend::errorText() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_errorText;
}

quint32 LinuxSerialBackend::modemStatus()
{
    int status = 0;
    if (m_fd < 0 || ioctl(m_fd, TIOCMGET, &status) != 0)
        return 0;
    quint32 lines = 0;
    for (const LineEvent &e : lineEvents) {
        if (status & e.line)
            lines |= e.modemLine;
    }
    return lines;
}

int LinuxSerialBackend::inQueue()
{
    int bytes = 0;
    if (m_fd < 0 || ioctl(m_fd, FIONREAD, &bytes) != 0)
        return 0;
    return bytes;
}

void LinuxSerialBackend::purge()
{
    if (m_fd >= 0)
        tcflush(m_fd, TCIFLUSH);
}

SerialBackend::WaitResult LinuxSerialBackend::waitForEvent(quint32 mask, quint32 *fired)
{
    *fired = 0;
    sigset_t wake;
    sigemptyset(&wake);
    sigaddset(&wake, wakeSignal());
    pthread_sigmask(SIG_UNBLOCK, &wake, nullptr);

    if (m_interrupted)
        return WaitResult::Interrupted;
    if (m_fd < 0)
        return waitFailed(EBADF);
    bool watchesLines = false;
    for (const LineEvent &e : lineEvents)
        watchesLines = watchesLines || (mask & e.event);
    if (!watchesLines)
        return waitForInterrupt();

    setWaiting(true);
    const WaitResult result = waitForLines(mask, fired);
    setWaiting(false);
    return result;
}

SerialBackend::WaitResult LinuxSerialBackend::waitForLines(quint32 mask, quint32 *fired)
{
    int lines = 0;
    for (const LineEvent &e : lineEvents) {
        if (mask & e.event)
            lines |= e.line;
    }
    if (!m_haveReport) {
        m_counted = true;
        if (!takeSnapshot(&m_lastReport)) {
            m_counted = false;
            if (!takeSnapshot(&m_lastReport))
                return waitFailed(errno);
        }
        m_haveReport = true;
    }
    for (;;) {
        Snapshot now;
        if (!takeSnapshot(&now))
            return waitFailed(errno);
        // Counters catch a pulse that is over before the wait wakes, and changes made while
        // the previous event was being served.
        quint32 changed = 0;
        for (size_t i = 0; i < std::size(lineEvents); ++i) {
            const LineEvent &e = lineEvents[i];
            const bool moved = m_counted ? now.counts[i] != m_lastReport.counts[i]
                                         : ((now.status ^ m_lastReport.status) & e.line) != 0;
            if ((mask & e.event) && moved)
                changed |= e.event;
        }
        if (changed) {
            m_lastReport = now;
            *fired = changed;
            return WaitResult::Event;
        }
        if (m_interrupted)
            return WaitResult::Interrupted;
        if (ioctl(m_fd, TIOCMIWAIT, lines) != 0) {
            if (errno != EINTR)
                return waitFailed(errno);
            if (m_interrupted)
                return WaitResult::Interrupted;
        }
    }
}

// Nothing but interruptWait can end this wait, so the signal stays blocked except inside
// sigsuspend, which leaves no window for it to be missed.
SerialBackend::WaitResult LinuxSerialBackend::waitForInterrupt()
{
    sigset_t wake;
    sigemptyset(&wake);
    sigaddset(&wake, wakeSignal());
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &wake, &previous);
    setWaiting(true);
    sigset_t during = previous;
    sigdelset(&during, wakeSignal());
    while (!m_interrupted)
        sigsuspend(&during);
    setWaiting(false);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return WaitResult::Interrupted;
}

void LinuxSerialBackend::interruptWait()
{
    m_interrupted = true;
    // Under the lock the waiting thread cannot leave the wait and end before the signal is sent.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_waiting)
        pthread_kill(m_waitThread, wakeSignal());
}

void LinuxSerialBackend::setWaiting(bool waiting)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_waiting = waiting;
    if (waiting)
        m_waitThread = pthread_self();
}

bool LinuxSerialBackend::takeSnapshot(Snapshot *snapshot) const
{
    if (!m_counted)
        return ioctl(m_fd, TIOCMGET, &snapshot->status) == 0;
    serial_icounter_struct counts = {};
    if (ioctl(m_fd, TIOCGICOUNT, &counts) != 0)
        return false;
    snapshot->counts[0] = counts.cts;
    snapshot->counts[1] = counts.dsr;
    snapshot->counts[2] = counts.dcd;
    snapshot->counts[3] = counts.rng;
    return true;
}

bool LinuxSerialBackend::fail(int error)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_errorText = QString::fromLocal8Bit(std::strerror(error));
    return false;
}

SerialBackend::WaitResult LinuxSerialBackend::waitFailed(int error)
{
    fail(error);
    return WaitResult::Failed;
}
