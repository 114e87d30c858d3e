#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal pair standing in for a serial device: the program opens path, the test (or a
// benchmark) works the master. The pair holds its own end of the program's side open too, so it
// outlives the program closing and reopening the port; destroying it hangs the line up.
struct PseudoTerminal
{
    int master = -1;
    int slave = -1;
    QString path;
    QByteArray pending;
    QList<QByteArray> lines; // what the program wrote, line by line, without the CR

    PseudoTerminal()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return;
        termios raw{};
        tcgetattr(master, &raw);
        cfmakeraw(&raw);
        tcsetattr(master, TCSANOW, &raw);
        path = QString::fromLocal8Bit(name);
    }
    ~PseudoTerminal()
    {
        ::close(master);
        ::close(slave);
    }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // All of bytes; a full line waits until the program's reading thread drains it.
    bool write(const QByteArray &bytes)
    {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n = ::write(master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    }
    // Takes what has arrived, waiting at most waitMs for something.
    const QList<QByteArray> &read(int waitMs = 0)
    {
        char buffer[4096];
        pollfd ready{master, POLLIN, 0};
        for (ssize_t n; ::poll(&ready, 1, waitMs) > 0 &&
                        (n = ::read(master, buffer, sizeof buffer)) > 0;
             waitMs = 0)
            pending.append(buffer, n);
        for (qsizetype end; (end = pending.indexOf('\r')) >= 0; pending.remove(0, end + 1))
            lines.append(pending.left(end));
        return lines;
    }
    QByteArray lastLine() { return read().value(lines.size() - 1); }
};
