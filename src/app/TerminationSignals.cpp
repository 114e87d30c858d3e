#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalFds[2] = {-1, -1};
bool g_requested = false;
int g_signal = 0;

void onSignal(int signal)
{
    // Only what is safe in a signal handler: one byte down the pipe to the event loop.
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_signalFds[0], &byte, 1);
}
} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalFds) != 0)
        return;
    m_notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
}

bool TerminationSignals::requested()
{
    return g_requested;
}

QString TerminationSignals::signalName()
{
    switch (g_signal) {
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    default:
        return g_requested ? QStringLiteral("Signal") : QString();
    }
}

void TerminationSignals::readSignal()
{
    char byte = 0;
    if (::read(g_signalFds[1], &byte, 1) == 1 && !g_signal)
        g_signal = byte;
    g_requested = true;
    emit terminationRequested();
}
