#include "MainWindowFixture.h"
#include "PseudoTerminal.h"

#include "LanguageTable.h"
#include "ProtocolRow.h"
#include "TimingDevices.h"

namespace {
// A step of a script: "c0 10:00:00.0000" a Timy's line, "=..." a line as written, "long" 10,000
// bytes, "flood" 1,000 lines in one write.
QByteArray stepBytes(const QString &step)
{
    QByteArray bytes = step == QLatin1String("long") ? QByteArray(10000, 'A') + '\r' : "";
    for (int i = 0; step == QLatin1String("flood") && i < 1000; ++i)
        bytes += '#' + QByteArray::number(i) + '\r';
    if (step.startsWith(u'='))
        bytes = step.mid(1).toLatin1() + '\r';
    else if (bytes.isEmpty())
        bytes = " 0017 " + step.section(u' ', 0, 0).leftJustified(3).toLatin1() + ' ' +
                step.section(u' ', 1).toLatin1() + " 00\r";
    return bytes;
}

struct DeviceHooks : RunHooks
{
    int lines = 0;   // device lines seen
    QString effects; // what they did: S start, P stop, L locked out, B before the start
    void DeviceLineSeen(const DeviceLine &, const QString &, PhotocellImpulse::Effect effect,
                        qint32) override
    {
        ++lines;
        effects += QString(QLatin1Char(" SPLB"[effect])).trimmed();
    }
};
} // namespace

// A timing device on a pseudo-terminal times the runs by its own stamps, in the real window;
// a board on another shows the result.
class tst_DeviceTiming : public QObject
{
    Q_OBJECT

    DeviceHooks m_hooks; // outlives every window
    PseudoTerminal m_device;
    PseudoTerminal m_board;
    std::unique_ptr<MainWindowFixture> m_f;

    // The status bar's word on the devices, whole.
    QString status() { return m_f->window->timingDevices().lDevices->toolTip(); }

private Q_SLOTS:
    void init()
    {
        Settings = TSettings{};
        m_f = std::make_unique<MainWindowFixture>(false);
        m_hooks = DeviceHooks{};
        m_f->window->setHooks(&m_hooks);
        m_f->ui.cbStNr->setEditText(QStringLiteral("17"));
        std::tie(Settings.DevPort, Settings.Board1Port) = std::pair(m_device.path, m_board.path);
        m_f->window->timingDevices().apply();
        QTRY_VERIFY(status().contains(m_device.path) && status().contains(m_board.path));
    }
    void cleanup() { m_f.reset(); }

    void competition_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QString>("effects");
        QTest::addColumn<int>("ms");  // the entered run's time
        QTest::addColumn<int>("bad"); // lines not read
        const auto row = [](const char *name, const QStringList &script, const char *effects,
                            int ms, int bad = 0) {
            QTest::newRow(name) << script << QString(effects) << ms << bad;
        };
        row("armed start and finish", {"F11", "F12", "c0 10:00:00.0000", "c1 10:01:05.4321"}, "SP",
            65432);
        row("across midnight", {"F11", "F12", "c0 23:59:58.5000", "c1 00:01:03.2500"}, "SP", 64750);
        // Each impulse disarmed first, a finish before the start, then one inside the lock-out.
        row("arming, a finish before the start, lock-out",
            {"c0 07:00:00.0000", "F11", "c0 08:00:01.0000", "c1 08:00:00.5000", "c1 08:00:30.0000",
             "F12", "c1 08:00:01.4000", "c1 08:00:43.1234"},
            "SBLP", 42123);
        row("keypad unarmed", {"c0M 10:00:00.0000", "c1M 10:00:10.5000"}, "SP", 10500);
        row("bad input",
            {"F11", "F12", "=\x01\xff garbage", "c0 14:00:00.0000", "long",
             "= 0017 c0  14:00:00.0000 00=?", "= 0017 X7  14:00:01.0000 00", "c1 25:00:00.0000",
             "flood", "c1 14:00:59.9999"},
            "SP", 59999, 1005);
    }

    void competition()
    {
        QFETCH(QStringList, script);
        QFETCH(int, ms);
        MainWindowFixture &f = *m_f;
        int lines = 0;
        for (const QString &step : script) {
            if (step.startsWith(u'F')) {
                f.key(Qt::Key_F1 + step.mid(1).toInt() - 1);
                continue;
            }
            QVERIFY(m_device.write(stepBytes(step)));
            lines += step == QLatin1String("flood") ? 1000 : 1;
            QTRY_COMPARE(m_hooks.lines, lines);
        }
        QTEST(m_hooks.effects, "effects");
        QCOMPARE(f.elapsed(), ms);
        f.key(Qt::Key_V, Qt::ControlModifier);
        const QString cell = f.cell(ColRideTime, 1);
        QCOMPARE(cell, QString::asprintf("%d,%02d", ms / 1000, ms % 1000 / 10));
        // The board ("NNNCxxxxHH:MM:SS.zhtRR", leading zero groups blank) shows the row's time and
        // rank. It paces its lines by the clock.
        f.ticks.advance(1000);
        QTRY_VERIFY(m_board.lastLine().startsWith(" 17C") &&
                    m_board.lastLine().mid(20).trimmed() == f.cell(ColRank, 1));
        const QByteArray time = m_board.lastLine().mid(8, 12);
        int seconds = 0;
        for (const QByteArray &group : time.left(8).split(':'))
            seconds = seconds * 60 + group.trimmed().toInt();
        QCOMPARE(QString::number(seconds) + u',' + QLatin1String(time.mid(9, 2)), cell);
        // Unreadable lines are counted in the status bar, not shown one by one.
        QFETCH(int, bad);
        if (bad > 0)
            QTRY_VERIFY(status().contains(
                LanguageText(LanguageLine::DeviceBadLines).arg(QString::number(bad))));
    }
};

QTEST_MAIN(tst_DeviceTiming)
#include "tst_devicetiming.moc"
