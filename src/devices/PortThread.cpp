#include "PortThread.h"

#include "SerialLink.h"

#include <QThread>

PortThread::PortThread(const QString &name, QObject *parent)
    : QObject(parent), m_thread(std::make_unique<QThread>())
{
    m_thread->setObjectName(name);
}

PortThread::~PortThread()
{
    // The worker never blocks on its port: the wait is short. It goes, with its port, as the
    // thread ends.
    m_thread->quit();
    m_thread->wait();
}

void PortThread::adopt(QObject *worker, SerialLink &link)
{
    worker->moveToThread(m_thread.get());
    connect(m_thread.get(), &QThread::finished, worker, &QObject::deleteLater);
    connect(&link, &SerialLink::opened, this, [this](const QString &path) {
        if (path == m_path)
            emit opened(path);
    });
    connect(&link, &SerialLink::failed, this, [this](const QString &path, const QString &reason) {
        if (path == m_path)
            emit failed(path, reason);
    });
    connect(&link, &SerialLink::closed, this, &PortThread::closed);
    m_thread->start();
}
