#include "TimingDevice.h"

#include "SerialLink.h"
#include "TickSource.h"
#include "TimerLineSplitter.h"

#include <QSerialPort>

// Reads the port on the reading thread. Everything here runs on that thread.
class TimingDeviceWorker : public QObject
{
    Q_OBJECT
public:
    TimingDeviceWorker()
    {
        connect(&m_link.port(), &QSerialPort::readyRead, this, &TimingDeviceWorker::read);
        // A line begun before the port went away would be glued to the next one.
        connect(&m_link, &SerialLink::opened, this, [this] { m_splitter.reset(); });
    }

    void open(const QString &path, TimerModel model, int baud)
    {
        m_model = model;
        m_link.open(path, baud);
    }

    SerialLink &link() { return m_link; }

signals:
    void linesRead(const DeviceLines &lines);

private:
    void read()
    {
        // One arrival for every line the bytes complete: they came in together.
        const quint32 tick = tickNow();
        const QDateTime arrival = QDateTime::currentDateTime();
        DeviceLines batch;
        for (const TimerLineSplitter::Piece &piece : m_splitter.feed(m_link.port().readAll())) {
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

    SerialLink m_link{QIODevice::ReadOnly, this};
    TimerLineSplitter m_splitter;
    TimerModel m_model = TimerModel::Timy;
};

TimingDevice::TimingDevice(QObject *parent)
    : PortThread(QStringLiteral("TimingDevice"), parent), m_worker(new TimingDeviceWorker)
{
    qRegisterMetaType<DeviceLine>();
    qRegisterMetaType<DeviceLines>();
    connect(m_worker, &TimingDeviceWorker::linesRead, this, &TimingDevice::linesRead);
    adopt(m_worker, m_worker->link());
}

TimingDevice::~TimingDevice() = default;

void TimingDevice::open(const QString &path, TimerModel model, int baud)
{
    if (path.isEmpty()) {
        close();
        return;
    }
    setPath(path);
    QMetaObject::invokeMethod(m_worker,
                              [w = m_worker, path, model, baud] { w->open(path, model, baud); });
}

void TimingDevice::close()
{
    setPath({});
    QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->link().close(); });
}

#include "TimingDevice.moc"
