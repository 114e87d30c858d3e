#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

// Communication events in the bits of the Windows event mask (EV_*), which is what the port's
// Events property and the dispatch step speak.
namespace ComEvent {
enum : quint32
{
    RxChar = 0x001,
    RxFlag = 0x002,
    TxEmpty = 0x004,
    CTS = 0x008,
    DSR = 0x010,
    RLSD = 0x020,
    Break = 0x040,
    Err = 0x080,
    Ring = 0x100,
};
}

// The modem status word as GetModemStatus reports it.
namespace ModemLine {
enum : quint32
{
    CTS = 0x10,
    DSR = 0x20,
    Ring = 0x40,
    RLSD = 0x80,
};
}

struct SerialLineSettings
{
    quint32 baud = 9600;
    int dataBits = 8;    // 5..8
    int parity = 0;      // none, odd, even, mark, space
    int stopBits = 0;    // one, one and a half, two
    int flowControl = 0; // none, RTS/CTS, XON/XOFF
    bool enableDTR = true;
    quint32 readBufSize = 2048;
    quint32 writeBufSize = 2048;
};

// One serial device as the port component needs it. The port component calls open, configure,
// modemStatus, inQueue, purge and close on the GUI thread, and waitForEvent only from its wait
// thread; interruptWait may be called from any thread.
class SerialBackend
{
public:
    enum class WaitResult
    {
        Event,       // *fired holds the ComEvent bits that happened
        Interrupted, // interruptWait was called
        Failed,      // errorText() says why
    };

    virtual ~SerialBackend() = default;

    // Whether COM port `port` exists and is free to use; leaves nothing open.
    virtual bool present(int port) = 0;
    // Whether the device of `port` exists but the user may not open it.
    virtual bool accessDenied(int port)
    {
        Q_UNUSED(port)
        return false;
    }

    // Opens the device of COM port number `port` exclusively. False: errorText() says why.
    virtual bool open(int port) = 0;
    // Applies the line settings and sets DTR and RTS. False: errorText() says why.
    virtual bool configure(const SerialLineSettings &settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The system's text for the last failure.
    virtual QString errorText() const = 0;

    // ModemLine bits.
    virtual quint32 modemStatus() = 0;
    // Bytes waiting in the receive queue.
    virtual int inQueue() = 0;
    // Discards pending receive data.
    virtual void purge() = 0;

    // Blocks until one of the ComEvent bits in mask happens, interruptWait() is called, or the
    // wait fails. Never returns Event with *fired empty.
    virtual WaitResult waitForEvent(quint32 mask, quint32 *fired) = 0;
    // Makes the current wait, and every later one until the next open(), return Interrupted.
    virtual void interruptWait() = 0;
};

// The device of a port number as the users' table lists it; empty for a number without one.
QString serialDevicePath(int port);

// The ports 1..16 found present: bit n-1 for port n, the highest present number in the upper 16
// bits; 0 when there is none.
quint32 comPortMask(const std::function<bool(int)> &present);

// Whether a reason from errorText() is the system's refusal of access to the device.
bool isAccessDenied(const QString &reason);
