#pragma once

#include "BrokerConfig.h"
#include "BrokerOutbox.h"
#include "BrokerStatus.h"
#include "LiveSnapshot.h"
#include "ShowArenas.h"
#include "ShowFeed.h"

#include <QObject>

#include <atomic>
#include <map>
#include <memory>

class QSocketNotifier;
class QTimer;
struct mosquitto;
struct mosquitto_message;

// One MQTT connection, driven by libmosquitto from this object's thread's event loop: socket
// notifiers for reading and writing, a timer for the keep-alive, its own retry every second with a
// fresh client. Nothing here blocks the thread for long, and no other thread waits on it.
//
// Publishes under rittmeter/<show>/<arena>/: live (retained, QoS 0, at most every 100 ms),
// results (retained, QoS 1, after every change of the protocol), entries (QoS 1, one per entered
// run, from the outbox until the broker acknowledges it) and status ("online", "offline" as the
// last will, retained). Follows the show's other arenas when asked.
class BrokerClient : public QObject
{
    Q_OBJECT
public:
    static constexpr int RetryMs = 1000;
    static constexpr int LiveGapMs = 100;

    explicit BrokerClient(QObject *parent = nullptr);
    ~BrokerClient() override;

    // Tests shorten the retry.
    void setRetryMs(int ms) { m_retryMs = ms; }
    const BrokerStatus &status() const { return m_status; }

public slots:
    // Connects as config says; a connection under other settings is ended first, with "offline".
    void start(const BrokerConfig &config);
    // Says "offline" and disconnects. The outbox is kept for the next start.
    void stop();
    // The live state as it is now. A grown entry count queues the result as an entry; a new
    // protocol revision sends the results; anything else the live message, at most every 100 ms.
    void publish(std::shared_ptr<const LiveSnapshot> snapshot);

signals:
    void statusChanged(const BrokerStatus &status);
    // The show's arenas, when following them; null once not.
    void showChanged(std::shared_ptr<const ShowArenas> show);

private:
    static void onConnect(mosquitto *, void *self, int code);
    static void onDisconnect(mosquitto *, void *self, int code);
    static void onPublish(mosquitto *, void *self, int mid);
    static void onMessage(mosquitto *, void *self, const mosquitto_message *message);

    void attempt();
    void dropClient();
    void afterLoop(int rc, int error);
    void connected();
    void sendEntry(const BrokerOutbox::Entry &entry);
    void queueEntry(const LiveSnapshot &snapshot);
    void flush();
    void sendLive();
    int send(const QByteArray &topic, const QByteArray &payload, int qos, bool retain);
    void updateWriting();
    void announce();
    bool online() const { return m_status.state == BrokerStatus::State::Connected; }

    std::atomic<int> m_retryMs = RetryMs;
    BrokerStatus m_status;
    BrokerStatus m_announced;
    BrokerConfig m_config;
    bool m_started = false;
    mosquitto *m_mosq = nullptr;
    QSocketNotifier *m_reading = nullptr;
    QSocketNotifier *m_writing = nullptr;
    QTimer *m_misc = nullptr;  // the keep-alive
    QTimer *m_retry = nullptr; // the next attempt
    QTimer *m_connectTimeout = nullptr;
    QTimer *m_liveGap = nullptr;
    QTimer *m_showGap = nullptr;
    // What the library said inside its callbacks, acted on once it has returned.
    int m_refusal = 0;
    bool m_lost = false;
    int m_lostCode = 0;
    std::unique_ptr<BrokerOutbox> m_outbox;
    QString m_outboxPath;
    std::map<int, QString> m_inFlight; // message id -> entry id, until the broker acknowledges
    std::unique_ptr<ShowFeed> m_feed;
    std::shared_ptr<const LiveSnapshot> m_snapshot;
    bool m_countKnown = false;
    quint64 m_entriesSeen = 0;
    quint64 m_resultsSent = 0; // the protocol revision the broker holds, on this connection
    bool m_resultsKnown = false;
    bool m_flushQueued = false;
    bool m_liveDirty = false;
};
