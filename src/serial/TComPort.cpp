#include "TComPort.h"

#include "EComError.h"
#include "SerialPorts.h"
#include "TComThread.h"

#include <iterator>

quint32 eventMask(TEvents events)
{
    static constexpr quint32 bits[] = {ComEvent::RxChar, ComEvent::TxEmpty, ComEvent::RxFlag,
                                       ComEvent::Ring,   ComEvent::Break,   ComEvent::CTS,
                                       ComEvent::DSR,    ComEvent::Err,     ComEvent::RLSD};
    quint32 mask = 0;
    for (int e = 0; e < int(std::size(bits)); ++e)
        if (events & (1u << e))
            mask |= bits[e];
    return mask;
}

TComPort::TComPort(QObject *parent) : QObject(parent) {}

TComPort::~TComPort()
{
    Close();
}

void TComPort::setDataBits(int bits)
{
    m_dataBits = quint8(qBound(5, bits, 8));
}

quint32 TComPort::effectiveBaud() const
{
    static constexpr quint32 rates[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                        19200, 38400, 56000, 57600, 115200, 128000, 256000};
    if (m_baudRate == brUser)
        return quint32(m_baudRateUser);
    return rates[m_baudRate];
}

void TComPort::Open()
{
    Close();
    std::unique_ptr<SerialBackend> backend = createSerialBackend();
    if (!backend->open(m_port)) {
        const QString reason = backend->errorText();
        throw EComHandle(QStringLiteral("Unable to open com port: ") + reason, reason);
    }

    SerialLineSettings line;
    line.baud = effectiveBaud();
    line.dataBits = m_dataBits;
    line.parity = m_parity;
    line.stopBits = m_stopBits;
    line.flowControl = m_flowControl;
    line.enableDTR = m_enableDTR;
    line.readBufSize = quint32(m_readBufSize);
    line.writeBufSize = quint32(m_writeBufSize);
    if (!backend->configure(line)) {
        const QString text = backend->errorText();
        // Released, so the port can be opened again once the cause is gone.
        backend->close();
        throw EComState(QStringLiteral("Unable to set com state: ") + text, text);
    }

    m_backend = std::move(backend);
    m_thread = std::make_unique<TComThread>(*m_backend, eventMask(m_events));
    const quint64 generation = ++m_generation;
    connect(m_thread.get(), &TComThread::eventReady, this, &TComPort::serveHandOff,
            Qt::QueuedConnection);
    connect(
        m_thread.get(), &TComThread::waitFailed, this,
        [this, generation] { waitEnded(generation); }, Qt::QueuedConnection);
    m_thread->start();
    m_connected = true;
    if (OnOpen)
        OnOpen(this);
}

void TComPort::Close()
{
    if (!m_connected)
        return;
    m_thread->Stop();
    m_thread.reset();
    // Only now: the wait thread no longer uses the device.
    m_backend->close();
    m_backend.reset();
    m_connected = false;
    if (OnClose)
        OnClose(this);
}

quint32 TComPort::GetModemStatus()
{
    return m_backend ? m_backend->modemStatus() : 0;
}

int TComPort::InQueCount()
{
    return m_backend ? m_backend->inQueue() : 0;
}

void TComPort::serveHandOff(quint64 seq)
{
    TComThread::HandOff handOff;
    if (!m_thread || !m_thread->pending(seq, &handOff))
        return;
    m_eventTick = handOff.tick;
    m_eventTime = handOff.time;
    Dispatch(handOff.mask);
    // A handler may have closed or reopened the port; then this hand-off is gone already.
    if (m_thread)
        m_thread->release(seq);
}

void TComPort::waitEnded(quint64 generation)
{
    if (generation == m_generation && m_connected)
        Close();
}

void TComPort::Dispatch(quint32 mask)
{
    if ((mask & ComEvent::RxChar) && OnRxChar)
        OnRxChar(this, InQueCount());
    static const std::pair<quint32, NotifyEvent TComPort::*> steps[] = {
        {ComEvent::TxEmpty, &TComPort::OnTxEmpty}, {ComEvent::Break, &TComPort::OnBreak},
        {ComEvent::Ring, &TComPort::OnRing},       {ComEvent::CTS, &TComPort::OnCTS},
        {ComEvent::DSR, &TComPort::OnDSR},         {ComEvent::RxFlag, &TComPort::OnRxFlag},
        {ComEvent::RLSD, &TComPort::OnRLSD},       {ComEvent::Err, &TComPort::OnError}};
    for (const auto &[bit, handler] : steps) {
        if (!m_connected)
            return;
        if ((mask & bit) && this->*handler)
            (this->*handler)(this);
    }
}
