#pragma once

#include <QObject>
#include <QTime>

#include <functional>
#include <memory>

class SerialBackend;
class TComThread;

// The order of every enumeration is fixed: it is what configurations store.
enum TBaudRate
{
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
    brUser
};

enum TParity
{
    prNone,
    prOdd,
    prEven,
    prMark,
    prSpace
};

enum TStopBits
{
    sbOneStopBit,
    sbOne5StopBits,
    sbTwoStopBits
};

enum TFlowControl
{
    fcNone,
    fcRtsCts,
    fcXonXoff
};

enum TEvent
{
    evRxChar,
    evTxEmpty,
    evRxFlag,
    evRing,
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRLSD
};

// A set of TEvent, one bit per value.
using TEvents = quint16;

constexpr TEvents eventSet(std::initializer_list<TEvent> events)
{
    TEvents set = 0;
    for (TEvent e : events)
        set |= TEvents(1u << e);
    return set;
}

inline constexpr TEvents AllEvents = 0x1FF;

// The wait mask (ComEvent bits) of a set of events.
quint32 eventMask(TEvents events);

// A serial port watched for communication events. The program never sends or receives data; it
// watches the modem input lines. A wait thread blocks until an event and hands it to the thread
// the port lives on, where the handlers run.
class TComPort : public QObject
{
    Q_OBJECT
public:
    using NotifyEvent = std::function<void(TComPort *sender)>;
    using RxCharEvent = std::function<void(TComPort *sender, int inQue)>;

    explicit TComPort(QObject *parent = nullptr);
    ~TComPort() override;

    TBaudRate BaudRate() const { return m_baudRate; }
    void setBaudRate(TBaudRate rate) { m_baudRate = rate; }
    qint32 BaudRateUser() const { return m_baudRateUser; }
    void setBaudRateUser(qint32 baud) { m_baudRateUser = baud; }
    quint8 Port() const { return m_port; }
    void setPort(quint8 port) { m_port = port; }
    TParity Parity() const { return m_parity; }
    void setParity(TParity parity) { m_parity = parity; }
    TStopBits StopBits() const { return m_stopBits; }
    void setStopBits(TStopBits bits) { m_stopBits = bits; }
    TFlowControl FlowControl() const { return m_flowControl; }
    void setFlowControl(TFlowControl flow) { m_flowControl = flow; }
    quint8 DataBits() const { return m_dataBits; }
    void setDataBits(int bits);
    TEvents Events() const { return m_events; }
    void setEvents(TEvents events) { m_events = events; }
    bool EnableDTR() const { return m_enableDTR; }
    void setEnableDTR(bool enable) { m_enableDTR = enable; }
    qint32 WriteBufSize() const { return m_writeBufSize; }
    void setWriteBufSize(qint32 size) { m_writeBufSize = size; }
    qint32 ReadBufSize() const { return m_readBufSize; }
    void setReadBufSize(qint32 size) { m_readBufSize = size; }
    int Tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The baud rate the line is set to.
    quint32 effectiveBaud() const;

    RxCharEvent OnRxChar;
    NotifyEvent OnTxEmpty;
    NotifyEvent OnBreak;
    NotifyEvent OnRing;
    NotifyEvent OnCTS;
    NotifyEvent OnDSR;
    NotifyEvent OnRxFlag;
    NotifyEvent OnRLSD;
    NotifyEvent OnError;
    NotifyEvent OnOpen;
    NotifyEvent OnClose;

    // (Re)opens the port; throws EComHandle or EComState.
    void Open();
    void Close();
    bool Connected() const { return m_connected; }
    quint32 GetModemStatus();
    int InQueCount();

    // Inside a handler: the tick and time of day the wait thread read when the event arrived.
    quint32 EventTick() const { return m_eventTick; }
    QTime EventTime() const { return m_eventTime; }

private:
    void serveHandOff(quint64 seq);
    void waitEnded(quint64 generation);
    void Dispatch(quint32 mask);

    TBaudRate m_baudRate = br9600;
    qint32 m_baudRateUser = 9600;
    quint8 m_port = 1;
    TParity m_parity = prNone;
    TStopBits m_stopBits = sbOneStopBit;
    TFlowControl m_flowControl = fcNone;
    quint8 m_dataBits = 8;
    TEvents m_events = AllEvents;
    bool m_enableDTR = true;
    qint32 m_writeBufSize = 2048;
    qint32 m_readBufSize = 2048;
    int m_tag = 0;

    std::unique_ptr<SerialBackend> m_backend;
    std::unique_ptr<TComThread> m_thread;
    bool m_connected = false;
    quint64 m_generation = 0;
    quint32 m_eventTick = 0;
    QTime m_eventTime;
};
