#include "SerialLink.h"

#include <QSerialPort>
#include <QTimer>

SerialLink::SerialLink(QIODevice::OpenMode mode, QObject *parent)
    : QObject(parent), m_port(new QSerialPort(this)), m_retry(new QTimer(this)), m_mode(mode)
{
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // A port hung up reads nothing, for ever: gone as much as one unplugged. Open failures
        // are answered by tryOpen itself.
        if ((e == QSerialPort::ResourceError || e == QSerialPort::ReadError ||
             e == QSerialPort::WriteError) &&
            m_port->isOpen() && !m_closing)
            fail(m_port->errorString());
    });
    m_retry->setInterval(RetryMs);
    connect(m_retry, &QTimer::timeout, this, &SerialLink::tryOpen);
}

void SerialLink::open(const QString &path, int baud)
{
    closePort();
    m_path = path;
    m_baud = baud;
    m_failing = false;
    tryOpen();
}

void SerialLink::close()
{
    closePort();
    m_path.clear();
    m_failing = false;
    emit closed();
}

void SerialLink::tryOpen()
{
    if (m_path.isEmpty())
        return;
    m_port->setPortName(m_path);
    m_port->setBaudRate(m_baud);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(m_mode)) {
        fail(m_port->errorString());
        return;
    }
    m_retry->stop();
    m_failing = false;
    emit opened(m_path);
}

void SerialLink::fail(const QString &reason)
{
    closePort();
    if (!m_failing) {
        m_failing = true;
        emit failed(m_path, reason);
    }
    m_retry->start();
}

void SerialLink::closePort()
{
    m_retry->stop();
    // A port hung up fails its closing too: that is no news.
    if (m_port->isOpen()) {
        m_closing = true;
        m_port->close();
        m_closing = false;
    }
}
