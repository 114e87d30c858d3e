#include "LiveBroker.h"

#include "BrokerLink.h"
#include "LiveWeb.h"

#include <QLabel>
#include <QStatusBar>

LiveBroker::LiveBroker(const LiveState &state, LiveWeb &web, QStatusBar &statusBar, QObject *parent)
    : QObject(parent), m_link(std::make_unique<BrokerLink>(state)), m_web(web)
{
    lBroker = new QLabel(&statusBar);
    lBroker->setObjectName(QStringLiteral("lBroker"));
    statusBar.addPermanentWidget(lBroker);
    lBroker->hide();
    connect(m_link.get(), &BrokerLink::statusChanged, this, &LiveBroker::showStatus);
}

LiveBroker::~LiveBroker()
{
    m_link->disconnect(this);
}

void LiveBroker::apply() {} // placeholder

void LiveBroker::applyTexts() {}

void LiveBroker::setPassword(const QString &password)
{
    m_password = password;
}

void LiveBroker::showStatus(const BrokerStatus &) {}
