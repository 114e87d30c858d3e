#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QThread;
class SerialLink;

// The GUI thread's side of a port served on a thread of its own: starts the thread, passes on
// its link's reports for the port still asked for (a report of one given up meanwhile is stale),
// and ends the thread with the worker and its port.
class PortThread : public QObject
{
    Q_OBJECT
public:
    ~PortThread() override;
    QString path() const { return m_path; }

signals:
    void opened(const QString &path);
    void failed(const QString &path, const QString &reason);
    void closed();

protected:
    PortThread(const QString &name, QObject *parent);
    // Moves worker, whose link is link, to the thread and starts it.
    void adopt(QObject *worker, SerialLink &link);
    void setPath(const QString &path) { m_path = path; }

private:
    std::unique_ptr<QThread> m_thread;
    QString m_path;
};
