#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

struct ShowArenas;

class LiveState;
class LiveServer;
class QThread;

// The live results server as the main window runs it: the server lives on a thread of its own and
// gets a snapshot of the live state at each announced change. Starting, stopping and a port in
// use never hold up the GUI thread, and nothing here waits on a client.
class LiveWeb : public QObject
{
    Q_OBJECT
public:
    explicit LiveWeb(const LiveState &state, QObject *parent = nullptr);
    ~LiveWeb() override;

    // Listens on host (empty: all networks) and port; a running server is stopped first.
    void start(const QString &host, quint16 port);
    void stop();
    // The page's texts in the language in force (a JSON object, see the README).
    void setTexts(const QByteArray &textsJson);
    // The show's arenas for "/show"; null stops serving it.
    void setShow(std::shared_ptr<const ShowArenas> show);

    bool listening() const { return !m_address.isEmpty(); }
    // "http://HOST:PORT/" while listening, else empty. For all networks, HOST is this machine's
    // first address on a network that is up, other than loopback.
    QString address() const { return m_address; }
    static QString pageAddress(const QString &host, quint16 port);

signals:
    void started(const QString &address);
    void failed(quint16 port, const QString &reason);
    void stopped();

private:
    const LiveState &m_state;
    QThread *m_thread = nullptr;
    LiveServer *m_server = nullptr;
    QString m_address;
    QString m_host;
    // Counts the starts and stops, so a late report of an earlier start is not taken for now.
    quint64 m_generation = 0;

    void post();
};
