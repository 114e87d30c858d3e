#include "BoardLines.h"
#include "TimerLine.h"
#include "TimerLineSplitter.h"

#include <QTest>

// A timing device's lines as read, the run time between two stamps, the cutting of the byte
// stream into lines, and the scoreboard's lines.
class tst_TimerLine : public QObject
{
    Q_OBJECT

    static QString describe(const TimerLine &l)
    {
        static const char *const kinds[] = {"invalid", "impulse", "number", "info"};
        static const char *const faults[] = {"",         "garbage",         "too long",
                                             "checksum", "unknown channel", "out of range"};
        static const char *const channels[] = {"", "start", "finish", "other"};
        if (l.fault != TimerLine::NoFault)
            return QString::fromLatin1(faults[l.fault]);
        return QStringLiteral("%1 #%2 %3 %4%5 r%6 t%7 %8")
            .arg(QLatin1String(kinds[l.kind]))
            .arg(l.startNumber)
            .arg(QString::fromLatin1(l.channelText), QLatin1String(channels[l.channel]),
                 QLatin1String(l.keypad ? " keypad" : ""))
            .arg(l.round)
            .arg(l.stamp)
            .arg(QLatin1String(l.live() ? "live" : "history"));
    }

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("expected");
        const int timy = int(TimerModel::Timy), t8001 = int(TimerModel::Tdc8001),
                  t8000 = int(TimerModel::Tdc8000);
        QTest::newRow("keypad, comma") << timy << QByteArray(" 0015 c0M 15:43:55,6200 00")
                                       << "impulse #15 c0M start keypad r0 t566356200 live";
        QTest::newRow("checksum") << timy << QByteArray(" 0001 C0  12:34:56.7890 00>3")
                                  << "impulse #1 C0 start r0 t452967890 live";
        QTest::newRow("wrong checksum")
            << timy << QByteArray(" 0001 C0  12:34:56.7890 00>4") << "checksum";
        QTest::newRow("with RRRR and checksum")
            << timy << QByteArray(" 0001 c1  12:34:56.7890 00  12:7")
            << "impulse #1 c1 finish r0 t452967890 live";
        QTest::newRow("blanks for zeros, trailing blanks, LF")
            << timy << QByteArray("?  15 c1   9:05:00.0001   \n")
            << "impulse #15 c1 finish r0 t327000001 live";
        QTest::newRow("from memory") << timy << QByteArray("m0015 c1  09:05:00.0001 00")
                                     << "impulse #15 c1 finish r0 t327000001 history";
        QTest::newRow("other channel, no number")
            << timy << QByteArray("      c9  00:00:00.0000 00")
            << "impulse #-1 c9 other r0 t0 live";
        QTest::newRow("run time") << timy << QByteArray(" 0015 RT  00:01:05.4321 00")
                                  << "info #15 RT  r0 t-1 live";
        QTest::newRow("new number") << timy << QByteArray("n0002") << "number #2   r0 t-1 live";
        QTest::newRow("unknown channel")
            << timy << QByteArray(" 0001 X7  12:34:56.7890 00") << "unknown channel";
        QTest::newRow("25 o'clock")
            << timy << QByteArray(" 0001 c0  25:00:00.0000 00") << "out of range";
        QTest::newRow("60 seconds")
            << timy << QByteArray(" 0001 c0  23:59:60.0000 00") << "out of range";
        QTest::newRow("fraction cut off")
            << timy << QByteArray(" 0001 C0  12:34:56.78") << "garbage";
        QTest::newRow("NUL") << timy << QByteArray(" 0001 c0\0 12:34:56.7890 00", 26) << "garbage";
        QTest::newRow("unknown status")
            << timy << QByteArray("X0001 c0  12:34:56.7890 00") << "garbage";
        QTest::newRow("too long") << timy << QByteArray(" 0001 C0  12:34:56.7890 00  12:7x")
                                  << "garbage";
        QTest::newRow("blank") << timy << QByteArray("   ") << "garbage";

        QTest::newRow("8001 finish") << t8001 << QByteArray(" 0015 C1  10:00:00.1234 01")
                                     << "impulse #15 C1 finish r0 t360001234 live";
        QTest::newRow("8001 keypad") << t8001 << QByteArray(" 0015 C0M 10:00:00.1200 01")
                                     << "impulse #15 C0M start keypad r0 t360001200 live";
        QTest::newRow("8001 run time")
            << t8001 << QByteArray(" 0015 RT  00:01:05.432  01") << "info #15 RT  r0 t-1 live";

        QTest::newRow("8000 round 2") << t8000 << QByteArray(" 00152C0  10:00:00.1234 01")
                                      << "impulse #15 C0 start r2 t360001234 live";
        QTest::newRow("8000 time-out channel") << t8000 << QByteArray(" 00151C9  10:00:00.1234 01")
                                               << "impulse #15 C9 other r1 t360001234 live";
        QTest::newRow("8000 number") << t8000 << QByteArray("n0152") << "number #152   r0 t-1 live";
        QTest::newRow("8000 countdown")
            << t8000 << QByteArray(" 00151CD        45.00   01") << "info #15 CD  r1 t-1 live";
        QTest::newRow("8000 penalty")
            << t8000 << QByteArray(" 0015 PTM       04.00") << "info #15 PTM  r0 t-1 live";
    }

    void parse()
    {
        QFETCH(int, model);
        QFETCH(QByteArray, line);
        const TimerLine parsed = parseTimerLine(TimerModel(model), line);
        QCOMPARE(parsed.raw, line);
        QTEST(describe(parsed), "expected");
    }

    void runTime_data()
    {
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("finish");
        QTest::addColumn<qint64>("expected");
        const qint64 h = 3600 * StampsPerSecond;
        QTest::newRow("same day") << 10 * h << 10 * h + 654321 << qint64(654321);
        QTest::newRow("midnight") << 24 * h - 100000 << qint64(105000) << qint64(205000);
        QTest::newRow("finish before start") << 10 * h + 50000 << 10 * h << qint64(-1);
        QTest::newRow("12 h earlier: before the start") << 18 * h << 6 * h << qint64(-1);
        QTest::newRow("over 12 h earlier: midnight") << 18 * h + 1 << 6 * h << 12 * h - 1;
        QTest::newRow("no stamp") << qint64(-1) << 6 * h << qint64(-1);
        QTest::newRow("beyond the day") << 6 * h << 24 * h << qint64(-1);
    }

    void runTime()
    {
        QFETCH(qint64, start);
        QFETCH(qint64, finish);
        QTEST(stampRunTime(start, finish), "expected");
        QCOMPARE(stampText(566356200), QStringLiteral("15:43:55.6200"));
        QVERIFY(stampText(StampsPerDay).isEmpty());
    }

    void split_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QString>("expected"); // "!" marks a line too long, long ones by size
        QTest::newRow("CR LF, empty lines") << QList<QByteArray>{"a\r\n\r\nb\n", "\rc"} << "a|b";
        QTest::newRow("split into chunks")
            << QList<QByteArray>{" 0001 C0", "  12:3", "4\r", "\n"} << " 0001 C0  12:34";
        QTest::newRow("10,000 bytes without CR, then a line")
            << QList<QByteArray>{QByteArray(6000, 'x'), QByteArray(4000, 'x') + "\rn0002\r"}
            << "!256|n0002";
        QTest::newRow("the longest line kept")
            << QList<QByteArray>{QByteArray(256, 'y') + '\r' + QByteArray(257, 'z') + "\ra\r"}
            << "256|!256|a";
    }

    void split()
    {
        QFETCH(QList<QByteArray>, chunks);
        TimerLineSplitter splitter;
        QStringList got;
        for (const QByteArray &chunk : chunks) {
            for (const TimerLineSplitter::Piece &piece : splitter.feed(chunk)) {
                const QString text = piece.bytes.size() > 40 ? QString::number(piece.bytes.size())
                                                             : QString::fromLatin1(piece.bytes);
                got << (piece.tooLong ? QLatin1Char('!') + text : text);
            }
        }
        QTEST(got.join(QLatin1Char('|')), "expected");
    }

    void board_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("expected");
        using namespace BoardLines;
        const qint32 day = 24 * 3600 * 100;
        QTest::newRow("seconds") << runningSeconds("15", 6543)
                                 << QByteArray(" 15.        1:05    ");
        QTest::newRow("seconds, hours, last 3 digits")
            << runningSeconds("1234", 720599) << QByteArray("234.     2:00:05    ");
        QTest::newRow("seconds over a day")
            << runningSeconds("1", day) << QByteArray("  1.                ");
        QTest::newRow("tenths") << runningTenths("7", 549) << QByteArray("  7.           5.4  ");
        QTest::newRow("tenths, minutes")
            << runningTenths("", 60000) << QByteArray("   .       10:00.0  ");
        QTest::newRow("final, rank")
            << finalTime("15", 6543, 3) << QByteArray(" 15C        1:05.43  3");
        QTest::newRow("final, last of the day")
            << finalTime("A12", day - 1, 12) << QByteArray(" 12C    23:59:59.99 12");
        QTest::newRow("final, no rank")
            << finalTime("15", 7, 0) << QByteArray(" 15C           0.07   ");
        QTest::newRow("final, rank 100, negative")
            << finalTime("15", -1, 100) << QByteArray(" 15C                  ");
        QTest::newRow("faults") << faults("8", 4) << QByteArray("  8C                 4");
        QTest::newRow("no faults") << faults("8", 0) << QByteArray("  8C                 0");
        QTest::newRow("faults beyond 99")
            << faults("8", 100) << QByteArray("  8C                  ");
    }

    void board()
    {
        QFETCH(QByteArray, line);
        QTEST(line, "expected");
        QVERIFY(line.size() < BoardLines::LineLength);
    }
};

QTEST_GUILESS_MAIN(tst_TimerLine)
#include "tst_timerline.moc"
