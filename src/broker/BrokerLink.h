#pragma once

#include "BrokerConfig.h"
#include "BrokerStatus.h"
#include "LiveSnapshot.h"
#include "ShowArenas.h"

#include <QObject>

#include <memory>

class BrokerClient;
class LiveState;
class QThread;

// Publishing to the broker as the main window runs it: the client lives on a thread of its own
// and gets a snapshot of the live state at each announced change; its reports come back to the
// GUI thread as queued signals. Nothing here waits on the broker.
class BrokerLink : public QObject
{
    Q_OBJECT
public:
    explicit BrokerLink(const LiveState &state, QObject *parent = nullptr);
    // Says "offline" to the broker and ends the thread; waits a moment at most.
    ~BrokerLink() override;

    void start(const BrokerConfig &config);
    void stop();
    const BrokerStatus &status() const { return m_status; }
    // For tests: the client, on its own thread.
    BrokerClient *client() const { return m_client; }

signals:
    void statusChanged(const BrokerStatus &status);
    void showChanged(std::shared_ptr<const ShowArenas> show);

private:
    void post();

    const LiveState &m_state;
    QThread *m_thread = nullptr;
    BrokerClient *m_client = nullptr;
    BrokerStatus m_status;
    std::shared_ptr<const LiveSnapshot> m_posted;
};
