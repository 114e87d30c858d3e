#include "BrokerConfig.h"
#include "BrokerStatus.h"

bool BrokerConfig::operator==(const BrokerConfig &o) const
{
    return host == o.host && port == o.port && tls == o.tls && caFile == o.caFile &&
           user == o.user && password == o.password && show == o.show && arena == o.arena &&
           showAll == o.showAll && outboxPath == o.outboxPath;
}

bool BrokerStatus::operator==(const BrokerStatus &o) const
{
    return state == o.state && address == o.address && reason == o.reason &&
           refusal == o.refusal && waiting == o.waiting && dropped == o.dropped &&
           lastDrop == o.lastDrop && lastDropTopic == o.lastDropTopic;
}
