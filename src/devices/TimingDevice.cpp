#include "TimingDevice.h"

#include "TickSource.h"
#include "TimerLineSplitter.h"

#include <QSerialPort>
#include <QThread>
#include <QTimer>

// Owns the port on the reading thread. Everything here runs on that thread.
class TimingDeviceWorker : public QObject
{
    Q_OBJECT
public:
    void open(const QString &path, TimerModel model, int baud)
    {
        closePort();
        m_path = path;
        m_model = model;
        m_baud = baud;
        m_failing = false;
        tryOpen();
    }

    void close()
    {
        closePort();
        m_path.clear();
        m_failing = false;
        emit closed();
    }

signals:
    void linesRead(const DeviceLines &lines);
    void opened(const QString &path);
    void failed(const QString &path, const QString &reason);
    void closed();

private:
    void ensurePort()
    {
        if (m_port)
            return;
        m_port = new QSerialPort(this);
        connect(m_port, &QSerialPort::readyRead, this, &TimingDeviceWorker::read);
        connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
            // A port hung up reads nothing, for ever: gone as much as one unplugged. Open
            // failures are answered by open() itself.
            if ((e == QSerialPort::ResourceError || e == QSerialPort::ReadError) &&
                m_port->isOpen() && !m_closing)
                fail(m_port->errorString());
        });
        m_retry = new QTimer(this);
        m_retry->setInterval(TimingDevice::RetryMs);
        connect(m_retry, &QTimer::timeout, this, &TimingDeviceWorker::tryOpen);
    }

    void tryOpen()
    {
        ensurePort();
        if (m_path.isEmpty())
            return;
        m_port->setPortName(m_path);
        m_port->setBaudRate(m_baud);
        m_port->setDataBits(QSerialPort::Data8);
        m_port->setParity(QSerialPort::NoParity);
        m_port->setStopBits(QSerialPort::OneStop);
        m_port->setFlowControl(QSerialPort::NoFlowControl);
        if (!m_port->open(QIODevice::ReadOnly)) {
            fail(m_port->errorString());
            return;
        }
        m_retry->stop();
        m_failing = false;
        emit opened(m_path);
    }

    // Closes the port and tries it again later; the outage is reported once.
    void fail(const QString &reason)
    {
        closePort();
        if (!m_failing) {
            m_failing = true;
            emit failed(m_path, reason);
        }
        m_retry->start();
    }

    void closePort()
    {
        if (m_retry)
            m_retry->stop();
        // A port hung up fails its closing too: that is no news.
        if (m_port && m_port->isOpen()) {
            m_closing = true;
            m_port->close();
            m_closing = false;
        }
        // A line begun before the port went away would be glued to the next one.
        m_splitter.reset();
    }

    void read()
    {
        // One arrival for every line the bytes complete: they came in together.
        const quint32 tick = tickNow();
        const QDateTime arrival = QDateTime::currentDateTime();
        DeviceLines batch;
        for (const TimerLineSplitter::Piece &piece : m_splitter.feed(m_port->readAll())) {
            TimerLine line;
            if (piece.tooLong) {
                line.raw = piece.bytes;
                line.fault = TimerLine::TooLong;
            } else {
                line = parseTimerLine(m_model, piece.bytes);
            }
            batch.append(DeviceLine{line, tick, arrival});
        }
        if (!batch.isEmpty())
            emit linesRead(batch);
    }

    QSerialPort *m_port = nullptr;
    QTimer *m_retry = nullptr;
    TimerLineSplitter m_splitter;
    QString m_path;
    TimerModel m_model = TimerModel::Timy;
    int m_baud = 9600;
    bool m_failing = false;
    bool m_closing = false;
};

TimingDevice::TimingDevice(QObject *parent)
    : QObject(parent), m_thread(std::make_unique<QThread>()), m_worker(new TimingDeviceWorker)
{
    qRegisterMetaType<DeviceLine>();
    qRegisterMetaType<DeviceLines>();
    m_thread->setObjectName(QStringLiteral("TimingDevice"));
    m_worker->moveToThread(m_thread.get());
    connect(m_thread.get(), &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &TimingDeviceWorker::linesRead, this, &TimingDevice::linesRead);
    // A report of a port given up meanwhile is stale.
    connect(m_worker, &TimingDeviceWorker::opened, this, [this](const QString &path) {
        if (path == m_path)
            emit opened(path);
    });
    connect(m_worker, &TimingDeviceWorker::failed, this,
            [this](const QString &path, const QString &reason) {
                if (path == m_path)
                    emit failed(path, reason);
            });
    connect(m_worker, &TimingDeviceWorker::closed, this, &TimingDevice::closed);
    m_thread->start();
}

TimingDevice::~TimingDevice()
{
    // The worker never blocks: the wait is short. It is deleted, with its port, as the thread ends.
    m_thread->quit();
    m_thread->wait();
}

void TimingDevice::open(const QString &path, TimerModel model, int baud)
{
    if (path.isEmpty()) {
        close();
        return;
    }
    m_path = path;
    QMetaObject::invokeMethod(m_worker,
                              [w = m_worker, path, model, baud] { w->open(path, model, baud); });
}

void TimingDevice::close()
{
    m_path.clear();
    QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->close(); });
}

#include "TimingDevice.moc"
