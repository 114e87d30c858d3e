#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class LiveState;
class LiveWeb;
class QLabel;
class QStatusBar;
class TFormInfo;

// The live results on the network as the operator turns them on in the settings: the server,
// its address in the status bar and the information window, and the page's texts in the
// language in force. A port it cannot have is said in the status bar; timing goes on.
class LiveResults : public QObject
{
    Q_OBJECT
public:
    LiveResults(const LiveState &state, QStatusBar &statusBar, TFormInfo &info,
                QObject *parent = nullptr);
    ~LiveResults() override;

    // Starts, stops or moves the server as the settings say. A server that already listens as
    // they say is left alone, so the phones keep their connection; one that failed is tried again.
    void apply();
    // The page's texts and the status bar's words anew, from the language lines in force.
    void applyTexts();

    // The page's texts as JSON: the protocol's column headings and the page's own words.
    static QByteArray textsJson();

    LiveWeb &web() { return *m_web; }
    QLabel *lLiveAddress = nullptr;

private:
    void showStarted(const QString &address);
    void showFailed(quint16 port, const QString &reason);
    void showStopped();
    void showStatus();

    std::unique_ptr<LiveWeb> m_web;
    TFormInfo &m_info;
    bool m_on = false; // what was last applied
    int m_port = 0;
    QString m_host;
    bool m_failed = false;
    quint16 m_failedPort = 0;
    QString m_failedReason;
};
