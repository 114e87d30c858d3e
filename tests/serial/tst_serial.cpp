#include "EComError.h"
#include "FakeSerialPorts.h"
#include "LinuxSerialBackend.h"
#include "TComPort.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using WaitResult = SerialBackend::WaitResult;
Q_DECLARE_METATYPE(WaitResult)

namespace {
struct WaitRun
{
    std::atomic<pid_t> tid{0};
    WaitResult result = WaitResult::Event;
};

// The thread shares backend and results, so that a wait that never ends can be left behind.
std::unique_ptr<QThread> startWait(std::shared_ptr<LinuxSerialBackend> backend, quint32 mask,
                                   std::shared_ptr<WaitRun> run)
{
    std::unique_ptr<QThread> thread(QThread::create([backend, mask, run] {
        run->tid = gettid();
        quint32 fired = 0;
        run->result = backend->waitForEvent(mask, &fired);
    }));
    thread->start();
    return thread;
}

// The wait's result, or none while it is still blocked after a generous deadline.
std::optional<WaitResult> finish(std::unique_ptr<QThread> thread, const WaitRun &run)
{
    if (thread->wait(QDeadlineTimer(5000)))
        return run.result;
    (void)thread.release();
    return std::nullopt;
}

std::optional<WaitResult> waitOnThread(const std::shared_ptr<LinuxSerialBackend> &backend,
                                       quint32 mask)
{
    const auto run = std::make_shared<WaitRun>();
    return finish(startWait(backend, mask, run), *run);
}

// The state letter of a thread of this process: 'S' while it sleeps.
char threadState(pid_t tid)
{
    QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(tid));
    const QByteArray line = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    return line.mid(line.lastIndexOf(')') + 2, 1).append('\0').at(0);
}

// The message of the failure Open() throws, or "opened".
QString openFailure(TComPort &port)
{
    try {
        port.Open();
    } catch (const EComError &e) {
        return e.message();
    }
    return QStringLiteral("opened");
}
} // namespace

// The system layer on a pseudo-terminal, and the port component on fake devices.
class tst_Serial : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0);
        m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
    }

    void cleanup() { ::close(m_master); }

    void deviceTable()
    {
        const QList<int> ports{0, 1, 5, 12, 16, 17};
        const QStringList paths{"", "/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyUSB7", "/dev/ttyACM3"};
        for (int i = 0; i < ports.size(); ++i) {
            const QString device = paths.value(i); // none for port 17
            QCOMPARE(serialDevicePath(ports[i]), device);
            // A port without a device, and a device that is not there, fail to open.
            if (device.isEmpty() || !QFile::exists(device)) {
                LinuxSerialBackend backend;
                QVERIFY(!backend.open(ports[i]) && !backend.isOpen());
                QCOMPARE(backend.errorText(),
                         QString::fromLocal8Bit(std::strerror(device.isEmpty() ? ENODEV : ENOENT)));
            }
        }
    }

    void deviceIsExclusive()
    {
        LinuxSerialBackend first, second;
        QVERIFY(first.openDevice(m_slavePath));
        QVERIFY(!second.openDevice(m_slavePath) && !second.isOpen() &&
                !second.errorText().isEmpty());
        // A failed reopen lets go of the device it had.
        QVERIFY(!first.open(0));
        QVERIFY(second.openDevice(m_slavePath));
    }

    void interruptWakesABlockedWait()
    {
        const auto backend = std::make_shared<LinuxSerialBackend>();
        QVERIFY(backend->openDevice(m_slavePath));
        const auto run = std::make_shared<WaitRun>();
        std::unique_ptr<QThread> thread = startWait(backend, ComEvent::RxChar, run);
        // Interrupt only once the thread sleeps in the wait, not before it got there.
        QTRY_VERIFY_WITH_TIMEOUT(run->tid != 0 && threadState(run->tid) == 'S', 5000);
        backend->interruptWait();
        QCOMPARE(finish(std::move(thread), *run), WaitResult::Interrupted);
    }

    void interruptBeforeTheWait()
    {
        // Without and with modem lines to wait for.
        for (quint32 mask : {quint32(ComEvent::RxChar), quint32(ComEvent::CTS | ComEvent::RLSD)}) {
            const auto backend = std::make_shared<LinuxSerialBackend>();
            QVERIFY(backend->openDevice(m_slavePath));
            backend->interruptWait();
            QCOMPARE(waitOnThread(backend, mask), WaitResult::Interrupted);
            QCOMPARE(waitOnThread(backend, mask), WaitResult::Interrupted); // it stays
            // The next open starts without it; a pseudo-terminal refuses to wait for modem lines.
            QVERIFY(backend->openDevice(m_slavePath));
            QCOMPARE(waitOnThread(backend, ComEvent::CTS), WaitResult::Failed);
        }
    }

    void openAndClose()
    {
        FakeSerialPorts ports;
        TComPort port;
        QStringList calls;
        port.OnOpen = [&](TComPort *s) { calls << (s == &port ? "open" : "?"); };
        port.OnClose = [&](TComPort *s) { calls << (s == &port ? "close" : "?"); };
        port.setEnableDTR(false);
        port.Close();
        QVERIFY(calls.isEmpty());
        port.Open();
        QVERIFY(!ports.com1.settings.enableDTR); // the settings reach the device
        port.Open();                             // reopening closes first
        QCOMPARE(calls, (QStringList{"open", "close", "open"}));
        QVERIFY(port.Connected());
        port.Close();
        QVERIFY(calls.last() == "close" && !ports.com1.open);
    }

    // Missing, in use, its line settings refused: reported, and nothing holds the device.
    void openFailures()
    {
        for (const auto &[number, refusal, message] :
             {std::tuple{9, "", "Unable to open com port: No such file or directory"},
              {1, "", "Unable to open com port: Device or resource busy"},
              {2, "Invalid argument", "Unable to set com state: Invalid argument"}}) {
            FakeSerialPorts ports;
            ports.com2.configureError = QString::fromLatin1(refusal);
            TComPort other; // holds port 1
            other.Open();
            TComPort port;
            port.setPort(quint8(number));
            bool opened = false;
            port.OnOpen = [&](TComPort *) { opened = true; };
            QCOMPARE(openFailure(port), QString::fromLatin1(message));
            QVERIFY(!opened && !port.Connected() && !ports.com2.open);
            ports.com2.configureError.clear();
            port.setPort(2);
            port.Open();
            QVERIFY(port.Connected());
        }
    }

    void handlersRunOnTheGuiThreadInOrder()
    {
        FakeSerialPorts ports;
        TComPort port;
        port.setEvents(eventSet({evCTS, evDSR, evRLSD}));
        QStringList calls;
        bool waitBlocked = true;
        auto record = [&](const char *name) {
            return [&, name](TComPort *) {
                calls << QString::fromLatin1(name);
                waitBlocked &= QThread::currentThread() == thread() &&
                               ports.com1.waits == (calls.size() - 1) / 3 + 1;
            };
        };
        std::tie(port.OnCTS, port.OnDSR, port.OnRLSD, port.OnRing) =
            std::tuple(record("CTS"), record("DSR"), record("RLSD"), record("Ring"));
        port.Open();
        ports.com1.setLines(ModemLine::RLSD | ModemLine::DSR | ModemLine::CTS | ModemLine::Ring);
        QTRY_COMPARE(calls.size(), 3);
        ports.com1.setLines(0);
        QTRY_COMPARE(calls.size(), 6);
        QCOMPARE(calls.join(','), QStringLiteral("CTS,DSR,RLSD,CTS,DSR,RLSD"));
        // The wait thread stays blocked while the handlers run.
        QVERIFY(waitBlocked);
    }

    void closeWithAHandOffPending()
    {
        FakeSerialPorts ports;
        TComPort port;
        int served = 0;
        port.OnDSR = [&](TComPort *) { ++served; };
        port.Open();
        ports.com1.setLines(ModemLine::DSR);
        QVERIFY(ports.com1.waitForReport(1));
        port.Close(); // must not wait for the GUI thread that is running it
        QVERIFY(!port.Connected() && !ports.com1.closedUnderWait);
        QCoreApplication::processEvents();
        QCOMPARE(served, 0); // the dropped hand-off never runs later
        port.Open();
        ports.com1.setLines(0);
        QTRY_COMPARE(served, 1);
    }

    void portClosesItself()
    {
        FakeSerialPorts ports;
        TComPort port;
        int closes = 0;
        port.OnClose = [&](TComPort *) { ++closes; };
        port.OnDSR = [&](TComPort *s) { s->Close(); };
        bool carrierAfterClose = false;
        port.OnRLSD = [&](TComPort *) { carrierAfterClose = true; };
        port.Open();
        ports.com1.setLines(ModemLine::DSR | ModemLine::RLSD); // closed from its own handler
        QTRY_COMPARE(closes, 1);
        QVERIFY(!carrierAfterClose && !ports.com1.closedUnderWait); // nothing runs on a closed port
        // The adapter is pulled out: every wait fails.
        port.Open();
        ports.com1.failWaits();
        QTRY_COMPARE(closes, 2);
        QVERIFY(!port.Connected() && !ports.com1.open);
        QCOMPARE(ports.com1.failedWaits.load(), 3); // gives up instead of spinning
        // Released: the device opens again.
        port.Open();
        QVERIFY(port.Connected());
    }

private:
    int m_master = -1;
    QString m_slavePath;
};

QTEST_GUILESS_MAIN(tst_Serial)
#include "tst_serial.moc"
