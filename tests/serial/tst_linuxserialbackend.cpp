#include "LinuxSerialBackend.h"

#include <QFile>
#include <QThread>
#include <QtTest>

#include <asm/termbits.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

using WaitResult = SerialBackend::WaitResult;
Q_DECLARE_METATYPE(WaitResult)

namespace {

QString errorString(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

struct WaitRun
{
    std::atomic<pid_t> tid{0};
    WaitResult result = WaitResult::Event;
};

// The thread shares the backend and the results, so that a wait that never ends can be left
// behind safely.
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

// False if the wait is still blocked after a generous deadline; nothing can end it then.
bool ends(std::unique_ptr<QThread> &thread)
{
    if (thread->wait(QDeadlineTimer(5000)))
        return true;
    (void)thread.release();
    return false;
}

bool waitOnThread(const std::shared_ptr<LinuxSerialBackend> &backend, quint32 mask,
                  WaitResult *result)
{
    const auto run = std::make_shared<WaitRun>();
    std::unique_ptr<QThread> thread = startWait(backend, mask, run);
    if (!ends(thread))
        return false;
    *result = run->result;
    return true;
}

char threadState(pid_t tid)
{
    QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(tid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const int end = line.lastIndexOf(')');
    return end >= 0 && end + 2 < line.size() ? line.at(end + 2) : 0;
}

} // namespace

class tst_LinuxSerialBackend : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(m_master >= 0);
        QVERIFY(grantpt(m_master) == 0 && unlockpt(m_master) == 0);
        m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
        m_slave = ::open(ptsname(m_master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(m_slave >= 0);
    }

    void cleanup()
    {
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
        m_slave = m_master = -1;
    }

    void deviceTable_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("device");
        QTest::newRow("0") << 0 << QString();
        QTest::newRow("1") << 1 << QStringLiteral("/dev/ttyS0");
        QTest::newRow("5") << 5 << QStringLiteral("/dev/ttyUSB0");
        QTest::newRow("12") << 12 << QStringLiteral("/dev/ttyUSB7");
        QTest::newRow("16") << 16 << QStringLiteral("/dev/ttyACM3");
        QTest::newRow("17") << 17 << QString();
    }

    void deviceTable()
    {
        QFETCH(int, port);
        QTEST(serialDevicePath(port), "device");
    }

    void openFailures_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("error");
        QTest::newRow("0") << 0 << ENODEV;
        QTest::newRow("17") << 17 << ENODEV;
        int absent = -1;
        for (int port = 16; port >= 1 && absent < 0; --port) {
            if (!QFile::exists(serialDevicePath(port)))
                absent = port;
        }
        QTest::newRow("absent device") << absent << ENOENT;
    }

    void openFailures()
    {
        QFETCH(int, port);
        QFETCH(int, error);
        if (port < 0)
            QSKIP("every port's device exists here");
        LinuxSerialBackend backend;
        QVERIFY(!backend.open(port));
        QVERIFY(!backend.isOpen());
        QCOMPARE(backend.errorText(), errorString(error));
    }

    void configureReachesTheDevice_data()
    {
        QTest::addColumn<quint32>("baud");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("stopBits");
        QTest::addColumn<int>("flowControl");
        QTest::addColumn<uint>("parityBits");
        QTest::newRow("9600 8N1") << 9600u << 8 << 0 << 0 << 0 << 0u;
        QTest::newRow("28800 7M2 RTS/CTS") << 28800u << 7 << 3 << 2 << 1 << uint(PARODD | CMSPAR);
        QTest::newRow("256000 5S1.5 XON/XOFF") << 256000u << 5 << 4 << 1 << 2 << uint(CMSPAR);
    }

    void configureReachesTheDevice()
    {
        QFETCH(quint32, baud);
        QFETCH(int, dataBits);
        QFETCH(int, parity);
        QFETCH(int, stopBits);
        QFETCH(int, flowControl);
        LinuxSerialBackend backend;
        QVERIFY(backend.openDevice(m_slavePath));
        SerialLineSettings settings;
        settings.baud = baud;
        settings.dataBits = dataBits;
        settings.parity = parity;
        settings.stopBits = stopBits;
        settings.flowControl = flowControl;
        QVERIFY2(backend.configure(settings), qPrintable(backend.errorText()));

        termios2 t = {};
        QVERIFY(ioctl(m_slave, TCGETS2, &t) == 0);
        QCOMPARE(t.c_ospeed, baud);
        // A pseudo-terminal forces CS8 and clears PARENB; the rest of the line stays as set.
        QTEST(uint(t.c_cflag & (PARODD | CMSPAR)), "parityBits");
        QCOMPARE(bool(t.c_cflag & CSTOPB), stopBits != 0);
        QCOMPARE(bool(t.c_cflag & CRTSCTS), flowControl == 1);
        QCOMPARE(bool(t.c_iflag & IXON), flowControl == 2);
        QCOMPARE(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    }

    void deviceIsExclusive()
    {
        LinuxSerialBackend first;
        LinuxSerialBackend second;
        QVERIFY(first.openDevice(m_slavePath));
        QVERIFY(!second.openDevice(m_slavePath));
        QVERIFY(!second.isOpen());
        QVERIFY(!second.errorText().isEmpty());
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
        QVERIFY(ends(thread));
        QCOMPARE(run->result, WaitResult::Interrupted);
    }

    void interruptBeforeTheWait_data()
    {
        QTest::addColumn<quint32>("mask");
        QTest::newRow("no modem lines") << quint32(ComEvent::RxChar);
        QTest::newRow("modem lines") << quint32(ComEvent::CTS | ComEvent::RLSD);
    }

    void interruptBeforeTheWait()
    {
        QFETCH(quint32, mask);
        const auto backend = std::make_shared<LinuxSerialBackend>();
        QVERIFY(backend->openDevice(m_slavePath));
        backend->interruptWait();
        WaitResult result = WaitResult::Event;
        QVERIFY(waitOnThread(backend, mask, &result));
        QCOMPARE(result, WaitResult::Interrupted);
        QVERIFY(waitOnThread(backend, mask, &result));
        QCOMPARE(result, WaitResult::Interrupted);

        // The next open starts without it.
        QVERIFY(backend->openDevice(m_slavePath));
        QVERIFY(waitOnThread(backend, ComEvent::CTS, &result));
        QCOMPARE(result, WaitResult::Failed);
    }

private:
    int m_master = -1;
    int m_slave = -1; // the test's own view of the line, opened before the backend locks it
    QString m_slavePath;
};

QTEST_GUILESS_MAIN(tst_LinuxSerialBackend)
#include "tst_linuxserialbackend.moc"
