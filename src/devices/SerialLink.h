#pragma once

#include <QIODevice>
#include <QObject>
#include <QString>

class QSerialPort;
class QTimer;

// A serial port kept open on its worker's thread: one that cannot be opened, or goes away
// (unplugged, hung up, no longer taking data), is closed, reported once, and tried again every
// RetryMs until it is back. 8N1, no flow control.
class SerialLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int RetryMs = 1000;

    explicit SerialLink(QIODevice::OpenMode mode, QObject *parent = nullptr);

    void open(const QString &path, int baud);
    void close();
    QSerialPort &port() { return *m_port; }

signals:
    void opened(const QString &path);
    // reason: the system's text. The port is tried again.
    void failed(const QString &path, const QString &reason);
    void closed();

private:
    void tryOpen();
    void fail(const QString &reason);
    void closePort();

    QSerialPort *m_port = nullptr;
    QTimer *m_retry = nullptr;
    QIODevice::OpenMode m_mode;
    QString m_path;
    int m_baud = 9600;
    bool m_failing = false;
    bool m_closing = false;
};
