#include "BrokerClient.h"

BrokerClient::BrokerClient(QObject *parent) : QObject(parent) {}

BrokerClient::~BrokerClient() = default;

void BrokerClient::start(const BrokerConfig &config)
{
    m_config = config; // placeholder
}

void BrokerClient::stop() {}

void BrokerClient::publish(std::shared_ptr<const LiveSnapshot> snapshot)
{
    m_snapshot = std::move(snapshot);
}
