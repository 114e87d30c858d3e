#include "LiveBroker.h"

#include "BrokerLink.h"
#include "LanguageTable.h"
#include "LiveWeb.h"
#include "PasswordStore.h"
#include "SessionKeeper.h"
#include "Settings.h"

#include <QLabel>
#include <QStatusBar>

namespace {
constexpr int MaxStatusWidth = 400;
constexpr int HostCaptionLine = 153; // "Broker:"
constexpr int RefusalCodes = 5;
constexpr int DropReasons = 3;
} // namespace

LiveBroker::LiveBroker(const LiveState &state, LiveWeb &web, QStatusBar &statusBar, QObject *parent)
    : QObject(parent), m_link(std::make_unique<BrokerLink>(state)), m_web(web)
{
    lBroker = new QLabel(&statusBar);
    lBroker->setObjectName(QStringLiteral("lBroker"));
    lBroker->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lBroker->setContentsMargins(4, 0, 6, 0);
    statusBar.addPermanentWidget(lBroker);
    lBroker->hide();
    connect(m_link.get(), &BrokerLink::statusChanged, this, &LiveBroker::showStatus);
    connect(m_link.get(), &BrokerLink::showChanged, this,
            [this](std::shared_ptr<const ShowArenas> show) { m_web.setShow(std::move(show)); });
}

LiveBroker::~LiveBroker()
{
    m_link->disconnect(this);
}

void LiveBroker::apply()
{
    // The keyring is asked once; later the password is the one the operator gave. A read that
    // failed is tried again at the next apply.
    if (Settings.BrokerOn && !Settings.BrokerUser.isEmpty() && !m_passwordKnown) {
        if (m_reading)
            return; // the read's answer applies what the settings say then
        m_reading = true;
        passwordStore().read(BrokerPasswordKey, this,
                             [this](const QString &password, const QString &error) {
                                 m_reading = false;
                                 // One typed in the dialog meanwhile is the newer.
                                 if (!m_passwordKnown)
                                     takeReadPassword(password, error);
                                 applyNow();
                             });
        return;
    }
    applyNow();
}

void LiveBroker::takeReadPassword(const QString &password, const QString &error)
{
    if (!error.isEmpty()) {
        setKeyringFault(LanguageLine::PasswordNotRead, error);
        return;
    }
    m_password = password;
    m_passwordKnown = true;
    setKeyringFault(0, {});
}

void LiveBroker::applyNow()
{
    BrokerConfig config;
    config.host = Settings.BrokerHost;
    config.port = quint16(qBound(1, Settings.BrokerPort, 65535));
    config.tls = Settings.BrokerTls;
    config.caFile = Settings.BrokerCa;
    config.user = Settings.BrokerUser;
    config.password = config.user.isEmpty() ? QString() : m_password;
    config.show = Settings.Show;
    config.arena = Settings.Arena;
    config.showAll = Settings.ShowAll;
    // Entries not yet acknowledged survive a crash or a quit during an outage with the session.
    if (!sessionFolder().isEmpty())
        config.outboxPath = sessionFolder() + QStringLiteral("/broker-ausgang.json");
    const bool on = Settings.BrokerOn;
    if (on == m_on && (!on || config == m_applied))
        return;
    m_on = on;
    m_applied = config;
    if (on)
        m_link->start(config);
    else
        m_link->stop();
}

void LiveBroker::applyTexts()
{
    showStatus(m_link->status());
}

void LiveBroker::setPassword(const QString &password)
{
    if (m_passwordKnown && password == m_password)
        return;
    // In force for this session whatever the keyring does with it.
    m_password = password;
    m_passwordKnown = true;
    passwordStore().write(BrokerPasswordKey, password, this, [this](const QString &error) {
        if (error.isEmpty())
            setKeyringFault(0, {});
        else
            setKeyringFault(LanguageLine::PasswordNotStored, error);
    });
}

void LiveBroker::setKeyringFault(int line, const QString &error)
{
    m_keyringFaultLine = line;
    m_keyringError = error;
    showStatus(m_link->status());
}

QString LiveBroker::statusText(const BrokerStatus &s, const QString &keyringFault)
{
    QStringList parts;
    switch (s.state) {
    case BrokerStatus::State::Off:
        break;
    case BrokerStatus::State::Connecting:
        parts << LanguageText(HostCaptionLine) + u' ' + s.address + QStringLiteral(" …");
        break;
    case BrokerStatus::State::Connected:
        parts << LanguageText(LanguageLine::BrokerConnected).arg(s.address);
        break;
    case BrokerStatus::State::Retrying:
        parts << LanguageText(LanguageLine::BrokerRetrying).arg(s.reason);
        break;
    case BrokerStatus::State::Refused:
        parts << LanguageText(LanguageLine::BrokerRefused)
                     .arg(s.refusal >= 1 && s.refusal <= RefusalCodes
                              ? LanguageText(LanguageLine::FirstBrokerRefusal + s.refusal - 1)
                              : s.reason);
        break;
    }
    // While connected a run waits only the moment until the broker acknowledges it: not worth
    // a word, nor a repaint of the status bar at every entry.
    if (s.state != BrokerStatus::State::Off && s.state != BrokerStatus::State::Connected &&
        s.waiting > 0)
        parts << LanguageText(LanguageLine::BrokerWaiting).arg(s.waiting);
    if (s.state != BrokerStatus::State::Off && s.dropped > 0) {
        const int reason = int(s.lastDrop);
        const QString why = reason >= 1 && reason <= DropReasons
                                ? LanguageText(LanguageLine::FirstBrokerDropReason + reason - 1)
                                : QString();
        // One call for both: a topic that holds "%2" stays as it is.
        parts << LanguageText(LanguageLine::BrokerDropped)
                     .arg(QString::number(s.dropped),
                          s.lastDropTopic.isEmpty()
                              ? why
                              : QStringLiteral("%1 (%2)").arg(why, s.lastDropTopic));
    }
    // A password that could not be kept is said even while off: the operator just typed it.
    if (!keyringFault.isEmpty())
        parts << keyringFault;
    return parts.join(QStringLiteral(" · "));
}

void LiveBroker::showStatus(const BrokerStatus &status)
{
    const QString fault =
        m_keyringFaultLine ? LanguageText(m_keyringFaultLine).arg(m_keyringError) : QString();
    const QString text = statusText(status, fault);
    // The status bar keeps room for the others; the tooltip has it all.
    lBroker->setText(lBroker->fontMetrics().elidedText(text, Qt::ElideRight, MaxStatusWidth));
    lBroker->setToolTip(text);
    lBroker->setVisible(!text.isEmpty());
}
