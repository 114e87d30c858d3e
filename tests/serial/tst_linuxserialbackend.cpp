#include "LinuxSerialBackend.h"

#include <QFile>
#include <QThread>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

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

// The wait's result, or none while it is still blocked after a generous deadline; nothing can
// end it then.
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
    }

    void cleanup()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
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
        QFETCH(QString, device);
        QCOMPARE(serialDevicePath(port), device);
        // A port without a device, and a device that is not there, fail to open.
        if (device.isEmpty() || !QFile::exists(device)) {
            LinuxSerialBackend backend;
            QVERIFY(!backend.open(port) && !backend.isOpen());
            QCOMPARE(backend.errorText(), errorString(device.isEmpty() ? ENODEV : ENOENT));
        }
    }

    void deviceIsExclusive()
    {
        LinuxSerialBackend first;
        LinuxSerialBackend second;
        QVERIFY(first.openDevice(m_slavePath));
        QVERIFY(!second.openDevice(m_slavePath) && !second.isOpen());
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
        QCOMPARE(finish(std::move(thread), *run), WaitResult::Interrupted);
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
        QCOMPARE(waitOnThread(backend, mask), WaitResult::Interrupted);
        QCOMPARE(waitOnThread(backend, mask), WaitResult::Interrupted); // it stays
        // The next open starts without it; a pseudo-terminal refuses to wait for modem lines.
        QVERIFY(backend->openDevice(m_slavePath));
        QCOMPARE(waitOnThread(backend, ComEvent::CTS), WaitResult::Failed);
    }

private:
    int m_master = -1;
    QString m_slavePath;
};

QTEST_GUILESS_MAIN(tst_LinuxSerialBackend)
#include "tst_linuxserialbackend.moc"
