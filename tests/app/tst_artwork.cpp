#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

// The sound cues and the title picture mkassets generates into a temporary folder.
class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QProcess gen;
        gen.start(QStringLiteral(MKASSETS_PATH), {m_dir.path()});
        QVERIFY2(gen.waitForFinished(60000), qPrintable(gen.errorString()));
        QVERIFY2(gen.exitStatus() == QProcess::NormalExit && gen.exitCode() == 0,
                 gen.readAllStandardError().constData());
        QCOMPARE(QImageReader(m_dir.filePath("rittmeter.jpg")).read().size(), QSize(300, 90));
    }

    void sounds_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("maxMs");
        QTest::newRow("chime") << "1x_Timer_HF.wav" << 400 << 900;
        QTest::newRow("double") << "2x_00_00_EL.wav" << 600 << 1100;
    }

    void sounds()
    {
        QFETCH(QString, file);
        QFETCH(int, minMs);
        QFETCH(int, maxMs);
        QFile f(m_dir.filePath(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray b = f.readAll();
        auto u32 = [&b](int at) { return qFromLittleEndian<quint32>(b.constData() + at); };
        auto u16 = [&b](int at) { return qFromLittleEndian<quint16>(b.constData() + at); };
        // Canonical 16-bit PCM mono 44100 Hz, audible and not clipped.
        QVERIFY(b.size() > 44 && b.startsWith("RIFF") && b.mid(8, 8) == "WAVEfmt " &&
                u32(4) == quint32(b.size() - 8) && u16(20) == 1 && u16(22) == 1 &&
                u32(24) == 44100 && u16(34) == 16 && b.mid(36, 4) == "data" &&
                u32(40) == quint32(b.size() - 44));
        const int ms = int(u32(40) / 2 * 1000LL / 44100);
        QVERIFY2(ms >= minMs && ms <= maxMs, qPrintable(QString::number(ms)));
        int peak = 0;
        for (int at = 44; at < b.size(); at += 2)
            peak = std::max(peak, std::abs(int(qint16(u16(at)))));
        QVERIFY2(peak > 8000 && peak < 32767, qPrintable(QString::number(peak)));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
