#include "LiveWeb.h"

#include "LiveServer.h"
#include "LiveState.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QThread>

#ifdef Q_OS_LINUX
#include <pthread.h>
#include <sched.h>
#endif

LiveWeb::LiveWeb(const LiveState &state, QObject *parent) : QObject(parent), m_state(state)
{
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("LiveWeb"));
    m_server = new LiveServer;
    m_server->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_server, &QObject::deleteLater);
    m_thread->start();
#ifdef Q_OS_LINUX
    // The clock and the photocells go first: the server runs only on a core nobody else wants,
    // and a waking GUI thread takes the core from it at once. The phones can wait a few ms.
    QMetaObject::invokeMethod(m_server, [] {
        const sched_param idle{};
        pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
    });
#endif
    for (auto signal : {&LiveState::titlesChanged, &LiveState::starterChanged,
                        &LiveState::runChanged, &LiveState::resultsChanged})
        connect(&state, signal, this, &LiveWeb::post);
    post();
}

LiveWeb::~LiveWeb()
{
    // The server thread never blocks, so this wait is short; its clients are dropped with it.
    m_thread->quit();
    m_thread->wait();
}

void LiveWeb::start(const QString &host, quint16 port)
{
    if (!m_address.isEmpty())
        stop();
    const quint64 generation = ++m_generation;
    m_host = host.trimmed();
    const QHostAddress address =
        m_host.isEmpty() ? QHostAddress(QHostAddress::Any) : QHostAddress(m_host);
    LiveServer *server = m_server;
    QMetaObject::invokeMethod(server, [this, server, address, port, generation] {
        const bool ok = server->listen(address, port);
        const quint16 actual = server->port();
        const QString reason = ok ? QString() : server->errorString();
        QMetaObject::invokeMethod(this, [this, ok, actual, port, generation, reason] {
            if (generation != m_generation)
                return;
            if (ok) {
                m_address = pageAddress(m_host, actual);
                emit started(m_address);
            } else {
                emit failed(port, reason);
            }
        });
    });
}

void LiveWeb::stop()
{
    ++m_generation;
    QMetaObject::invokeMethod(m_server, &LiveServer::close);
    const bool wasListening = !m_address.isEmpty();
    m_address.clear();
    if (wasListening)
        emit stopped();
}

void LiveWeb::setTexts(const QByteArray &textsJson)
{
    LiveServer *server = m_server;
    QMetaObject::invokeMethod(server, [server, textsJson] { server->setTexts(textsJson); });
}

void LiveWeb::setShow(std::shared_ptr<const ShowArenas> show)
{
    LiveServer *server = m_server;
    QMetaObject::invokeMethod(server, [server, show] { server->setShow(show); });
}

void LiveWeb::post()
{
    LiveServer *server = m_server;
    std::shared_ptr<const LiveSnapshot> snapshot = m_state.snapshot();
    QMetaObject::invokeMethod(server, [server, snapshot] { server->publish(snapshot); });
}

QString LiveWeb::pageAddress(const QString &host, quint16 port)
{
    QString shown = host.trimmed();
    const QHostAddress address(shown);
    if (shown.isEmpty() || address == QHostAddress(QHostAddress::AnyIPv4) ||
        address == QHostAddress(QHostAddress::AnyIPv6) || address == QHostAddress::Any) {
        shown = QStringLiteral("127.0.0.1");
        bool found = false;
        for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
            const auto flags = interface.flags();
            if (!flags.testFlag(QNetworkInterface::IsUp) ||
                !flags.testFlag(QNetworkInterface::IsRunning) ||
                flags.testFlag(QNetworkInterface::IsLoopBack))
                continue;
            for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
                if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) {
                    shown = entry.ip().toString();
                    found = true;
                    break;
                }
            }
            if (found)
                break;
        }
    } else if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        shown = QLatin1Char('[') + address.toString() + QLatin1Char(']');
    }
    return QStringLiteral("http://%1:%2/").arg(shown).arg(port);
}
