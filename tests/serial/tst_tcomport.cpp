#include "FakeSerialPorts.h"

#include "EComError.h"
#include "TComPort.h"

#include <QThread>
#include <QtTest>

namespace {
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

class tst_TComPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openAndClose()
    {
        FakeSerialPorts ports;
        TComPort port;
        QStringList calls;
        port.OnOpen = [&](TComPort *s) { calls << (s == &port ? "open" : "?"); };
        port.OnClose = [&](TComPort *s) { calls << (s == &port ? "close" : "?"); };
        port.setBaudRate(brUser);
        port.setBaudRateUser(28800);
        port.setDataBits(9); // brought down to 8
        port.setParity(prMark);
        port.setEnableDTR(false);
        port.Close();
        QVERIFY(calls.isEmpty());
        port.Open();
        const SerialLineSettings &s = ports.com1.settings;
        QVERIFY(s.baud == 28800 && s.dataBits == 8 && s.parity == int(prMark) && !s.enableDTR);
        port.Open(); // reopening closes first
        QCOMPARE(calls, (QStringList{"open", "close", "open"}));
        QVERIFY(port.Connected());
        port.Close();
        QCOMPARE(calls.last(), QStringLiteral("close"));
        QVERIFY(!ports.com1.open);
    }

    void openFailures_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("refusal"); // of the line settings
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << 9 << ""
                                 << "Unable to open com port: No such file or directory";
        QTest::newRow("in use") << 1 << ""
                                << "Unable to open com port: Device or resource busy";
        QTest::newRow("settings refused") << 2 << "Invalid argument"
                                          << "Unable to set com state: Invalid argument";
    }

    void openFailures()
    {
        FakeSerialPorts ports;
        QFETCH(int, number);
        QFETCH(QString, refusal);
        ports.com2.configureError = refusal;
        TComPort other; // holds port 1
        other.Open();
        TComPort port;
        port.setPort(quint8(number));
        bool opened = false;
        port.OnOpen = [&](TComPort *) { opened = true; };
        QTEST(openFailure(port), "message");
        QVERIFY(!opened && !port.Connected());
        // Nothing holds the device any more.
        QVERIFY(!ports.com2.open);
        ports.com2.configureError.clear();
        port.setPort(2);
        port.Open();
        QVERIFY(port.Connected());
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
        port.OnCTS = record("CTS");
        port.OnDSR = record("DSR");
        port.OnRLSD = record("RLSD");
        port.OnRing = record("Ring");
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

    void closeFromItsOwnHandler()
    {
        FakeSerialPorts ports;
        TComPort port;
        int closes = 0;
        port.OnClose = [&](TComPort *) { ++closes; };
        port.OnDSR = [&](TComPort *s) { s->Close(); };
        bool carrierAfterClose = false;
        port.OnRLSD = [&](TComPort *) { carrierAfterClose = true; };
        port.Open();
        ports.com1.setLines(ModemLine::DSR | ModemLine::RLSD);
        QTRY_COMPARE(closes, 1);
        QVERIFY(!carrierAfterClose); // nothing runs on a closed port
        QVERIFY(!ports.com1.closedUnderWait);
    }

    void failingWaitsCloseThePort()
    {
        FakeSerialPorts ports;
        TComPort port;
        int closes = 0;
        port.OnClose = [&](TComPort *) { ++closes; };
        port.Open();
        ports.com1.failWaits();
        QTRY_COMPARE(closes, 1);
        QVERIFY(!port.Connected() && !ports.com1.open);
        QCOMPARE(ports.com1.failedWaits.load(), 3); // gives up instead of spinning
        // Released: the device opens again.
        port.Open();
        QVERIFY(port.Connected());
    }
};

QTEST_MAIN(tst_TComPort)
#include "tst_tcomport.moc"
