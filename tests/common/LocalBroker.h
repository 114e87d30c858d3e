#pragma once

#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include <netinet/in.h>
#include <sys/socket.h>

// A real mosquitto on a free loopback port, for the tests and the benchmark: a user makes it ask
// for that password, tls gives it a certificate for localhost (caFile()). start() again listens on
// the same port, as a broker back from an outage does.
class LocalBroker
{
public:
    explicit LocalBroker(const QString &user = {}, const QString &password = {}, bool tls = false)
        : m_user(user), m_password(password), m_tls(tls)
    {}
    ~LocalBroker() { stop(); }

    bool start()
    {
        if (!m_port && !prepare())
            return false;
        m_process.setWorkingDirectory(m_dir.path());
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("mosquitto"), {"-c", "mosquitto.conf"});
        // It says "running" once every listener is open.
        QByteArray said;
        while (!said.contains(" running") && m_process.waitForReadyRead(10000))
            said += m_process.readAll();
        m_error = QString::fromLocal8Bit(said);
        return said.contains(" running");
    }
    void stop() { m_process.kill(), m_process.waitForFinished(); }

    quint16 port() const { return m_port; }
    QString caFile() const { return m_dir.filePath("ca.crt"); }
    QString error() const { return m_error; }

    // mosquitto_pub's and mosquitto_sub's arguments to reach this broker.
    QStringList clientArgs() const
    {
        QStringList args{"-h", m_tls ? "localhost" : "127.0.0.1", "-p", QString::number(m_port)};
        if (!m_user.isEmpty())
            args << "-u" << m_user << "-P" << m_password;
        return m_tls ? args << "--cafile" << caFile() : args;
    }
    // Publishes as another client would (the payload from stdin, so any size goes).
    bool publish(const QByteArray &topic, const QByteArray &payload)
    {
        QProcess pub;
        pub.start("mosquitto_pub", clientArgs() + QStringList{"-q", "1", "-t", topic, "-s"});
        pub.write(payload);
        pub.closeWriteChannel();
        return pub.waitForFinished(30000) && pub.exitCode() == 0;
    }
    // Cuts this process's connections to the broker without a goodbye, as a crash or a pulled
    // cable does: the broker sends their last wills.
    void dropClients() const
    {
        for (int fd = 0; fd < 4096; ++fd) {
            sockaddr_in peer{};
            socklen_t length = sizeof peer;
            if (getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &length) == 0 &&
                peer.sin_family == AF_INET && ntohs(peer.sin_port) == m_port)
                shutdown(fd, SHUT_RDWR);
        }
    }

private:
    bool prepare()
    {
        QTcpServer free;
        if (!m_dir.isValid() || !free.listen(QHostAddress::LocalHost, 0))
            return false;
        m_port = free.serverPort();
        free.close();
        QString conf = QStringLiteral("user root\npersistence false\nlistener %1 127.0.0.1\n"
                                      "allow_anonymous %2\n")
                           .arg(m_port)
                           .arg(m_user.isEmpty() ? "true" : "false");
        QStringList commands;
        if (!m_user.isEmpty()) {
            conf += "password_file passwd\n";
            commands
                << QString("mosquitto_passwd -c -b passwd \"%1\" \"%2\"").arg(m_user, m_password);
        }
        if (m_tls) { // its own CA: a certificate that signs itself
            conf += "cafile ca.crt\ncertfile ca.crt\nkeyfile ca.key\n";
            commands
                << "openssl req -x509 -days 2 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
                   "-nodes -subj /CN=localhost -addext subjectAltName=DNS:localhost "
                   "-keyout ca.key -out ca.crt";
        }
        for (const QString &command : commands) // what goes wrong, said on the test's output
            if (QProcess::execute("sh", {"-c", "cd " + m_dir.path() + " && " + command}) != 0)
                return m_error = command, false;
        QFile file(m_dir.filePath("mosquitto.conf"));
        return file.open(QIODevice::WriteOnly) && file.write(conf.toUtf8()) > 0;
    }

    QString m_user, m_password;
    bool m_tls = false;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};

// A mosquitto_sub on the broker that keeps every message it receives, for QTRY_ checks.
class BrokerSubscriber
{
public:
    // Returns once the subscription stands (mosquitto_sub -d says so).
    explicit BrokerSubscriber(const LocalBroker &broker)
    {
        // The messages come one a line, payload in hex; stdbuf: line by line into the pipe.
        m_process.start("stdbuf", QStringList{"-oL", "mosquitto_sub", "-d", "-q", "1", "-t",
                                              "rittmeter/#", "-F", "MSG %t %x"} +
                                      broker.clientArgs());
        while (!m_ready && m_process.waitForReadyRead(10000))
            read();
    }
    ~BrokerSubscriber() { m_process.kill(), m_process.waitForFinished(); }
    // The topics and payloads that came, in order.
    const QList<std::pair<QByteArray, QByteArray>> &messages() { return read(), m_messages; }
    QList<QByteArray> payloads(const QByteArray &topic)
    {
        QList<QByteArray> found;
        for (const auto &[t, payload] : messages())
            if (t == topic)
                found << payload;
        return found;
    }
    QByteArray last(const QByteArray &topic)
    {
        return payloads(topic).value(payloads(topic).size() - 1);
    }

private:
    void read()
    {
        m_pending += m_process.readAllStandardOutput();
        for (qsizetype end; (end = m_pending.indexOf('\n')) >= 0; m_pending.remove(0, end + 1)) {
            const QByteArray line = m_pending.left(end);
            const qsizetype hex = line.lastIndexOf(' ') + 1; // a topic may hold spaces
            if (line.startsWith("MSG ") && hex > 4)
                m_messages.append({line.mid(4, hex - 5), QByteArray::fromHex(line.mid(hex))});
            else if (line.contains("SUBACK"))
                m_ready = true;
        }
    }

    QProcess m_process;
    QByteArray m_pending;
    QList<std::pair<QByteArray, QByteArray>> m_messages;
    bool m_ready = false;
};
