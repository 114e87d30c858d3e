#pragma once

#include "BrokerConfig.h"
#include "BrokerStatus.h"

#include <QObject>
#include <QString>

#include <memory>

class BrokerLink;
class LiveState;
class LiveWeb;
class QLabel;
class QStatusBar;

// Publishing to the broker as the operator turns it on in the settings: the connection with the
// password from the keyring, its state in the status bar, and the show's arenas handed to the live
// results server while "Alle Plätze zeigen" is on. The broker never holds up timing.
class LiveBroker : public QObject
{
    Q_OBJECT
public:
    LiveBroker(const LiveState &state, LiveWeb &web, QStatusBar &statusBar,
               QObject *parent = nullptr);
    ~LiveBroker() override;

    // Connects, reconnects or disconnects as the settings say; the password is read from the
    // keyring first. Settings unchanged leave the connection alone.
    void apply();
    void applyTexts();
    // The password as last read or stored, for the settings dialog; stores a new one.
    QString password() const { return m_password; }
    void setPassword(const QString &password);

    BrokerLink &link() { return *m_link; }
    QLabel *lBroker = nullptr;

private:
    // The status bar's word on the broker: its state, the runs waiting, the messages refused and
    // the keyring's fault. Empty while off with nothing to say.
    static QString statusText(const BrokerStatus &status, const QString &keyringFault);
    void takeReadPassword(const QString &password, const QString &error);
    // Puts the settings into force with the password as it is now.
    void applyNow();
    void showStatus(const BrokerStatus &status);
    void setKeyringFault(int line, const QString &error);

    std::unique_ptr<BrokerLink> m_link;
    LiveWeb &m_web;
    QString m_password;
    bool m_passwordKnown = false; // read from the keyring, or given by the operator
    bool m_reading = false;       // a read under way
    bool m_on = false;            // what was last applied
    BrokerConfig m_applied;
    // The last keyring failure, said in the status bar: its language line and the system's words.
    int m_keyringFaultLine = 0;
    QString m_keyringError;
};
