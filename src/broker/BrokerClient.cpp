#include "BrokerClient.h"

#include "BrokerMessages.h"
#include "BrokerTopics.h"
#include "TickSource.h"
#include "WebFormats.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>

#include <mosquitto.h>

#include <cerrno>
#include <mutex>

namespace {
Q_LOGGING_CATEGORY(brokerLog, "rittmeter.broker")

constexpr int KeepAliveSeconds = 30;
// A broker that takes neither the connection nor refuses it (a host gone from the network) is
// given up on after this, and tried again.
constexpr int ConnectTimeoutMs = 10'000;
constexpr int StopFlushMs = 500;
// A broker that said no is asked again less often than one that was not reachable.
constexpr int RefusedRetryFactor = 5;

const char *dropName(BrokerStatus::Drop drop)
{
    switch (drop) {
    case BrokerStatus::Drop::NotJson:
        return "not JSON of the expected kind";
    case BrokerStatus::Drop::TooLarge:
        return "too large";
    case BrokerStatus::Drop::BadTopic:
        return "a topic of another shape";
    case BrokerStatus::Drop::None:
        break;
    }
    return "";
}

QString reasonOf(int rc, int error)
{
    return rc == MOSQ_ERR_ERRNO ? qt_error_string(error)
                                : QString::fromUtf8(mosquitto_strerror(rc));
}
} // namespace

BrokerClient::BrokerClient(QObject *parent) : QObject(parent)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { mosquitto_lib_init(); });
    m_misc = new QTimer(this);
    m_misc->setInterval(1000);
    connect(m_misc, &QTimer::timeout, this, [this] {
        const int rc = mosquitto_loop_misc(m_mosq);
        afterLoop(rc, errno);
    });
    m_connectTimeout = new QTimer(this);
    m_connectTimeout->setSingleShot(true);
    connect(m_connectTimeout, &QTimer::timeout, this,
            [this] { afterLoop(MOSQ_ERR_ERRNO, ETIMEDOUT); });
    m_retry = new QTimer(this);
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, &BrokerClient::attempt);
    m_liveGap = new QTimer(this);
    m_liveGap->setSingleShot(true);
    connect(m_liveGap, &QTimer::timeout, this, [this] {
        if (m_liveDirty)
            sendLive();
    });
    m_showGap = new QTimer(this);
    m_showGap->setSingleShot(true);
    m_showGap->setInterval(LiveGapMs);
    connect(m_showGap, &QTimer::timeout, this, [this] {
        if (m_feed)
            emit showChanged(m_feed->picture());
    });
}

BrokerClient::~BrokerClient()
{
    dropClient();
}

void BrokerClient::start(const BrokerConfig &config)
{
    if (m_started && config == m_config)
        return;
    if (m_started)
        stop();
    m_config = config;
    m_started = true;
    if (!m_outbox || m_outboxPath != config.outboxPath) {
        auto outbox = std::make_unique<BrokerOutbox>(config.outboxPath);
        QString error;
        if (!outbox->load(&error))
            qCWarning(brokerLog) << "outbox" << config.outboxPath << error;
        // Entries still held from before go out too, after the file's.
        for (const BrokerOutbox::Entry &entry :
             m_outbox ? m_outbox->entries() : std::deque<BrokerOutbox::Entry>{})
            if (!outbox->add(entry, &error))
                qCWarning(brokerLog) << "outbox" << config.outboxPath << error;
        m_outbox = std::move(outbox);
        m_outboxPath = config.outboxPath;
    }
    if (config.showAll)
        m_feed = std::make_unique<ShowFeed>(config.show);
    m_status.state = BrokerStatus::State::Connecting;
    m_status.address = QStringLiteral("%1:%2").arg(config.host).arg(config.port);
    m_status.reason.clear();
    m_status.refusal = 0;
    m_status.waiting = m_outbox->size();
    announce();
    attempt();
}

void BrokerClient::stop()
{
    if (!m_started)
        return;
    m_started = false;
    m_retry->stop();
    if (m_mosq && online()) {
        // Said by ourselves, so a reader knows at once; the will is for when we cannot.
        send(BrokerTopics::topic(m_config.show, m_config.arena, BrokerTopics::Status), "offline", 1,
             true);
        mosquitto_disconnect(m_mosq);
        m_lost = false;
        const QDeadlineTimer deadline(StopFlushMs);
        while (!m_lost && !deadline.hasExpired() &&
               mosquitto_loop(m_mosq, int(deadline.remainingTime()), 1) == MOSQ_ERR_SUCCESS) {
        }
    }
    dropClient();
    m_status.state = BrokerStatus::State::Off;
    m_status.reason.clear();
    m_status.refusal = 0;
    announce();
    if (m_feed) {
        m_feed.reset();
        m_showGap->stop();
        emit showChanged(nullptr);
    }
}

void BrokerClient::publish(std::shared_ptr<const LiveSnapshot> snapshot)
{
    if (!snapshot)
        return;
    const bool grown = m_countKnown && snapshot->entries > m_entriesSeen;
    m_countKnown = true;
    m_entriesSeen = snapshot->entries;
    m_snapshot = std::move(snapshot);
    if (!m_started)
        return;
    // Each entry now, in its own snapshot; the results and the live state once for a burst.
    if (grown)
        queueEntry(*m_snapshot);
    m_liveDirty = true;
    if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, &BrokerClient::flush, Qt::QueuedConnection);
    }
}

void BrokerClient::attempt()
{
    dropClient();
    if (!m_started)
        return;
    const QByteArray id =
        "rittmeter-" +
        QByteArray::number(QRandomGenerator::global()->generate64() & 0xffffffffffffULL, 16)
            .rightJustified(12, '0');
    m_mosq = mosquitto_new(id.constData(), true, this);
    mosquitto_connect_callback_set(m_mosq, &BrokerClient::onConnect);
    mosquitto_disconnect_callback_set(m_mosq, &BrokerClient::onDisconnect);
    mosquitto_publish_callback_set(m_mosq, &BrokerClient::onPublish);
    mosquitto_message_callback_set(m_mosq, &BrokerClient::onMessage);
    const QByteArray status =
        BrokerTopics::topic(m_config.show, m_config.arena, BrokerTopics::Status);
    mosquitto_will_set(m_mosq, status.constData(), 7, "offline", 1, true);
    if (!m_config.user.isEmpty())
        mosquitto_username_pw_set(m_mosq, m_config.user.toUtf8().constData(),
                                  m_config.password.toUtf8().constData());
    int rc = MOSQ_ERR_SUCCESS;
    if (m_config.tls) {
        if (m_config.caFile.isEmpty())
            rc = mosquitto_int_option(m_mosq, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        else
            rc = mosquitto_tls_set(m_mosq, QFile::encodeName(m_config.caFile).constData(), nullptr,
                                   nullptr, nullptr, nullptr);
    }
    if (rc == MOSQ_ERR_SUCCESS)
        rc = mosquitto_connect_async(m_mosq, m_config.host.toUtf8().constData(), m_config.port,
                                     KeepAliveSeconds);
    const int error = errno;
    const int fd = mosquitto_socket(m_mosq);
    if (rc == MOSQ_ERR_SUCCESS && fd >= 0) {
        m_reading = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(m_reading, &QSocketNotifier::activated, this, [this] {
            const int rc = mosquitto_loop_read(m_mosq, 1);
            afterLoop(rc, errno);
        });
        m_writing = new QSocketNotifier(fd, QSocketNotifier::Write, this);
        connect(m_writing, &QSocketNotifier::activated, this, [this] {
            const int rc = mosquitto_loop_write(m_mosq, 1);
            afterLoop(rc, errno);
        });
        m_misc->start();
        m_connectTimeout->start(ConnectTimeoutMs);
    } else if (rc == MOSQ_ERR_SUCCESS) {
        rc = MOSQ_ERR_NO_CONN;
    }
    afterLoop(rc, error);
}

void BrokerClient::dropClient()
{
    // The notifiers are done with before the socket they watch; one of them may be reporting.
    for (QSocketNotifier *notifier : {m_reading, m_writing}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    m_reading = m_writing = nullptr;
    m_misc->stop();
    m_connectTimeout->stop();
    m_liveGap->stop();
    if (m_mosq)
        mosquitto_destroy(m_mosq);
    m_mosq = nullptr;
    m_inFlight.clear();
    m_lost = false;
    m_lostCode = 0;
    m_refusal = 0;
}

void BrokerClient::afterLoop(int rc, int error)
{
    if (!m_mosq)
        return;
    if (rc == MOSQ_ERR_SUCCESS && !m_lost && !m_refusal) {
        updateWriting();
        return;
    }
    // The client is done with: a fresh one tries again later. Entries not acknowledged stay in
    // the outbox and go out again, in order, on the next connection.
    const int refusal = m_refusal;
    QString reason;
    if (refusal)
        reason = QString::fromUtf8(mosquitto_connack_string(refusal));
    else if (rc != MOSQ_ERR_SUCCESS)
        reason = reasonOf(rc, error);
    else
        reason = reasonOf(m_lostCode ? m_lostCode : MOSQ_ERR_CONN_LOST, error);
    dropClient();
    m_status.state = refusal ? BrokerStatus::State::Refused : BrokerStatus::State::Retrying;
    m_status.refusal = refusal;
    m_status.reason = reason;
    announce();
    m_retry->start(refusal ? RefusedRetryFactor * m_retryMs.load() : m_retryMs.load());
}

void BrokerClient::connected()
{
    m_connectTimeout->stop();
    m_status.state = BrokerStatus::State::Connected;
    m_status.reason.clear();
    m_status.refusal = 0;
    announce();
    send(BrokerTopics::topic(m_config.show, m_config.arena, BrokerTopics::Status), "online", 1,
         true);
    if (m_feed)
        mosquitto_subscribe(m_mosq, nullptr, BrokerTopics::showFilter(m_config.show).constData(),
                            0);
    // The broker may have lost its retained messages: it gets the newest of each.
    m_resultsKnown = false;
    m_liveDirty = true;
    flush();
    for (const BrokerOutbox::Entry &entry : m_outbox->entries())
        sendEntry(entry);
}

void BrokerClient::queueEntry(const LiveSnapshot &snapshot)
{
    BrokerOutbox::Entry entry;
    entry.id = BrokerMessages::newEntryId();
    entry.sequence = m_outbox->nextSequence();
    entry.topic = BrokerTopics::topic(m_config.show, m_config.arena, BrokerTopics::Entries);
    entry.payload = BrokerMessages::entry(snapshot, entry.id, entry.sequence, m_config.show,
                                          m_config.arena, QDateTime::currentDateTimeUtc());
    QString error;
    // Kept (in the file) before it is sent, so a crash in between loses nothing.
    if (!m_outbox->add(entry, &error))
        qCWarning(brokerLog) << "outbox" << m_config.outboxPath << error;
    m_status.waiting = m_outbox->size();
    announce();
    if (online()) {
        sendEntry(entry);
        updateWriting();
    }
}

void BrokerClient::sendEntry(const BrokerOutbox::Entry &entry)
{
    int mid = 0;
    if (mosquitto_publish(m_mosq, &mid, entry.topic.constData(), int(entry.payload.size()),
                          entry.payload.constData(), 1, false) == MOSQ_ERR_SUCCESS)
        m_inFlight[mid] = entry.id;
}

void BrokerClient::flush()
{
    m_flushQueued = false;
    if (!m_snapshot || !online())
        return;
    if (!m_resultsKnown || m_resultsSent != m_snapshot->protocolRevision) {
        send(BrokerTopics::topic(m_config.show, m_config.arena, BrokerTopics::Results),
             WebFormats::resultsJson(*m_snapshot), 1, true);
        m_resultsSent = m_snapshot->protocolRevision;
        m_resultsKnown = true;
    }
    if (m_liveDirty && !m_liveGap->isActive())
        sendLive();
    updateWriting();
}

void BrokerClient::sendLive()
{
    if (!m_snapshot || !online())
        return;
    send(BrokerTopics::topic(m_config.show, m_config.arena, BrokerTopics::Live),
         BrokerMessages::live(*m_snapshot, tickNow(), QDateTime::currentMSecsSinceEpoch()), 0,
         true);
    m_liveDirty = false;
    // Changes within the gap wait for its end, and the newest of them goes then.
    m_liveGap->start(LiveGapMs);
    updateWriting();
}

int BrokerClient::send(const QByteArray &topic, const QByteArray &payload, int qos, bool retain)
{
    int mid = 0;
    mosquitto_publish(m_mosq, &mid, topic.constData(), int(payload.size()), payload.constData(),
                      qos, retain);
    return mid;
}

void BrokerClient::updateWriting()
{
    if (m_writing && m_mosq)
        m_writing->setEnabled(mosquitto_want_write(m_mosq));
}

void BrokerClient::announce()
{
    if (m_status == m_announced)
        return;
    m_announced = m_status;
    emit statusChanged(m_status);
}

void BrokerClient::onConnect(mosquitto *, void *self, int code)
{
    auto *client = static_cast<BrokerClient *>(self);
    if (code == 0)
        client->connected();
    else
        client->m_refusal = code;
}

void BrokerClient::onDisconnect(mosquitto *, void *self, int code)
{
    auto *client = static_cast<BrokerClient *>(self);
    client->m_lost = true;
    client->m_lostCode = code;
}

void BrokerClient::onPublish(mosquitto *, void *self, int mid)
{
    auto *client = static_cast<BrokerClient *>(self);
    const auto it = client->m_inFlight.find(mid);
    if (it == client->m_inFlight.end())
        return;
    QString error;
    if (!client->m_outbox->remove(it->second, &error))
        qCWarning(brokerLog) << "outbox" << client->m_config.outboxPath << error;
    client->m_inFlight.erase(it);
    client->m_status.waiting = client->m_outbox->size();
    client->announce();
}

void BrokerClient::onMessage(mosquitto *, void *self, const mosquitto_message *message)
{
    auto *client = static_cast<BrokerClient *>(self);
    if (!client->m_feed)
        return;
    const QByteArray topic(message->topic);
    const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
    const BrokerStatus::Drop drop = client->m_feed->take(topic, payload, showClockMs());
    if (drop == BrokerStatus::Drop::None) {
        if (!client->m_showGap->isActive())
            client->m_showGap->start();
        return;
    }
    qCWarning(brokerLog).nospace().noquote() << "refused a message on " << topic << " ("
                                             << payload.size() << " bytes): " << dropName(drop);
    ++client->m_status.dropped;
    client->m_status.lastDrop = drop;
    client->m_status.lastDropTopic = QString::fromUtf8(topic);
    client->announce();
}
