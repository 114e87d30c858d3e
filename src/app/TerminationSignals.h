#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGHUP (a logout, a shutdown, kill) arrive as a signal of the event loop instead of
// ending the program on the spot, so it can end in order and save what it keeps.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // A signal has come: the program is ending, whatever a question still open answers.
    static bool requested();
    // "SIGTERM" or "SIGHUP" once one has come.
    static QString signalName();

Q_SIGNALS:
    void terminationRequested();

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
