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
    }

    void sounds_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("maxMs");
        QTest::addColumn<int>("bursts");
        QTest::newRow("chime") << "1x_Timer_HF.wav" << 400 << 900 << 1;
        QTest::newRow("double") << "2x_00_00_EL.wav" << 600 << 1100 << 2;
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
        // Canonical 16-bit PCM mono 44100 Hz.
        QVERIFY(b.size() > 44 && b.startsWith("RIFF") && b.mid(8, 8) == "WAVEfmt " &&
                u32(4) == quint32(b.size() - 8) && u16(20) == 1 && u16(22) == 1 &&
                u32(24) == 44100 && u16(34) == 16 && b.mid(36, 4) == "data" &&
                u32(40) == quint32(b.size() - 44));
        const int samples = int(u32(40) / 2), ms = int(samples * 1000LL / 44100);
        QVERIFY2(ms >= minMs && ms <= maxMs, qPrintable(QString::number(ms)));
        QVERIFY(std::abs(qint16(u16(44))) < 1000); // a hard start clicks
        // Bursts of sound after at least 100 ms of silence, in 10 ms windows.
        int peak = 0, bursts = 0, quiet = 10;
        for (int i = 0; i + 441 <= samples; i += 441) {
            int m = 0;
            for (int j = i; j < i + 441; ++j)
                m = std::max(m, std::abs(int(qint16(u16(44 + 2 * j)))));
            peak = std::max(peak, m);
            bursts += m > 1000 && quiet >= 10;
            quiet = m > 1000 ? 0 : quiet + 1;
        }
        QVERIFY2(peak > 8000 && peak < 32767, "too quiet or clipped");
        QTEST(bursts, "bursts");
    }

    void titlePicture()
    {
        QImageReader reader(m_dir.filePath(QStringLiteral("rittmeter.jpg")));
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage img = reader.read();
        QCOMPARE(img.size(), QSize(300, 90));
        QSet<QRgb> colours; // a picture, not a flat fill
        for (int i = 0; i < img.width() * img.height(); ++i)
            colours.insert(img.pixel(i % img.width(), i / img.width()));
        QVERIFY(colours.size() > 200);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
