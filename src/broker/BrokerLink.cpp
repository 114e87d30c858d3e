#include "BrokerLink.h"

#include "BrokerClient.h"
#include "LiveState.h"

#include <QThread>

#ifdef Q_OS_LINUX
#include <pthread.h>
#include <sched.h>
#endif

BrokerLink::BrokerLink(const LiveState &state, QObject *parent) : QObject(parent), m_state(state)
{
    qRegisterMetaType<BrokerStatus>();
    qRegisterMetaType<std::shared_ptr<const ShowArenas>>();
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("BrokerLink"));
    m_client = new BrokerClient;
    m_client->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_client, &QObject::deleteLater);
    connect(m_client, &BrokerClient::statusChanged, this, [this](const BrokerStatus &status) {
        m_status = status;
        emit statusChanged(status);
    });
    connect(m_client, &BrokerClient::showChanged, this, &BrokerLink::showChanged);
    m_thread->start();
#ifdef Q_OS_LINUX
    // Timing goes first: the broker's thread runs only on a core nobody else wants.
    QMetaObject::invokeMethod(m_client, [] {
        const sched_param idle{};
        pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
    });
#endif
    for (auto signal : {&LiveState::titlesChanged, &LiveState::starterChanged,
                        &LiveState::runChanged, &LiveState::resultsChanged})
        connect(&state, signal, this, &BrokerLink::post);
    post();
}

BrokerLink::~BrokerLink()
{
    // The one wait on the broker's thread, at the end: "offline" goes out, bounded by stop().
    QMetaObject::invokeMethod(m_client, &BrokerClient::stop, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
}

void BrokerLink::start(const BrokerConfig &config)
{
    BrokerClient *client = m_client;
    QMetaObject::invokeMethod(client, [client, config] { client->start(config); });
}

void BrokerLink::stop()
{
    QMetaObject::invokeMethod(m_client, &BrokerClient::stop);
}

void BrokerLink::post()
{
    BrokerClient *client = m_client;
    std::shared_ptr<const LiveSnapshot> snapshot = m_state.snapshot();
    // A batch announces up to four changes of one snapshot; it goes once.
    if (snapshot == m_posted)
        return;
    m_posted = snapshot;
    QMetaObject::invokeMethod(client, [client, snapshot] { client->publish(snapshot); });
}
