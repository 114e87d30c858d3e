#include "LiveResults.h"

#include "LanguageTable.h"
#include "LiveWeb.h"
#include "ProtocolRow.h"
#include "QrCode.h"
#include "Settings.h"
#include "TFormInfo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QStatusBar>

namespace {
constexpr int MaxStatusWidth = 400;
}

LiveResults::LiveResults(const LiveState &state, QStatusBar &statusBar, TFormInfo &info,
                         QObject *parent)
    : QObject(parent), m_web(std::make_unique<LiveWeb>(state)), m_info(info)
{
    lLiveAddress = new QLabel(&statusBar);
    lLiveAddress->setObjectName(QStringLiteral("lLiveAddress"));
    lLiveAddress->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lLiveAddress->setContentsMargins(4, 0, 6, 0);
    statusBar.addPermanentWidget(lLiveAddress);
    lLiveAddress->hide();
    connect(m_web.get(), &LiveWeb::started, this, &LiveResults::showStarted);
    connect(m_web.get(), &LiveWeb::failed, this, &LiveResults::showFailed);
    connect(m_web.get(), &LiveWeb::stopped, this, &LiveResults::showStopped);
    applyTexts();
}

LiveResults::~LiveResults()
{
    // The server's last word must not reach a half-destroyed window.
    m_web->disconnect(this);
}

void LiveResults::apply()
{
    const bool on = Settings.LiveWeb;
    const bool same = on == m_on && Settings.LivePort == m_port && Settings.LiveHost == m_host;
    if (same && !(on && m_failed))
        return;
    m_on = on;
    m_port = Settings.LivePort;
    m_host = Settings.LiveHost;
    m_failed = false;
    if (!on) {
        m_web->stop();
        showStopped();
        return;
    }
    m_web->start(m_host, quint16(qBound(0, m_port, 65535)));
}

void LiveResults::applyTexts()
{
    m_web->setTexts(textsJson());
    showStatus();
}

QByteArray LiveResults::textsJson()
{
    QJsonArray headings;
    for (int c = 0; c < ProtocolColumnCount; ++c)
        headings.append(LanguageText(LanguageLine::FirstHeading + c));
    const QJsonObject texts{
        {QStringLiteral("headings"), headings},
        {QStringLiteral("page"), LanguageText(LanguageLine::LivePage)},
        {QStringLiteral("lastResult"), LanguageText(LanguageLine::LiveLastResult)},
        {QStringLiteral("toBeat"), LanguageText(LanguageLine::LiveToBeat)},
        {QStringLiteral("offline"), LanguageText(LanguageLine::LiveOffline)},
        {QStringLiteral("starter"), LanguageText(LanguageLine::LiveStarter)},
        {QStringLiteral("show"), LanguageText(LanguageLine::ShowPage)},
        {QStringLiteral("showOffline"), LanguageText(LanguageLine::ShowArenaOffline)}};
    return QJsonDocument(texts).toJson(QJsonDocument::Compact);
}

void LiveResults::showStarted(const QString &)
{
    m_failed = false;
    showStatus();
}

void LiveResults::showFailed(quint16 port, const QString &reason)
{
    m_failed = true;
    m_failedPort = port;
    m_failedReason = reason;
    showStatus();
}

void LiveResults::showStopped()
{
    showStatus();
}

void LiveResults::showStatus()
{
    const QString address = m_on ? m_web->address() : QString();
    QString text = address;
    if (address.isEmpty() && m_on && m_failed)
        // One call for both: a reason that holds "%2" stays as it is.
        text = LanguageText(LanguageLine::LivePortFailure)
                   .arg(QString::number(m_failedPort), m_failedReason);
    // The system's reason can be long: the status bar keeps room for the others, the tooltip
    // has it all.
    lLiveAddress->setText(
        lLiveAddress->fontMetrics().elidedText(text, Qt::ElideRight, MaxStatusWidth));
    lLiveAddress->setToolTip(text);
    lLiveAddress->setVisible(!text.isEmpty());
    m_info.showLiveAddress(address, address.isEmpty() ? QImage() : qrCodeImage(address, 5));
}
