#include "Artwork.h"

#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <cstdlib>

namespace {

struct Wav
{
    QVector<qint16> samples;
    QString error;
};

// Walks the chunks the way a strict player would and refuses anything inconsistent.
Wav readWav(const QString &path)
{
    Wav w;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("cannot open")};
    const QByteArray b = f.readAll();
    auto u32 = [&b](int at) { return qFromLittleEndian<quint32>(b.constData() + at); };
    auto u16 = [&b](int at) { return qFromLittleEndian<quint16>(b.constData() + at); };
    if (b.size() < 44 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return {{}, QStringLiteral("not RIFF/WAVE")};
    if (u32(4) != quint32(b.size() - 8))
        return {{}, QStringLiteral("RIFF size disagrees with file size")};
    bool haveFmt = false;
    for (int at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const quint32 len = u32(at + 4);
        if (at + 8 + qint64(len) > b.size())
            return {{}, QStringLiteral("chunk runs past the end")};
        if (id == "fmt ") {
            if (len < 16 || u16(at + 8) != 1 || u16(at + 10) != 1 || u32(at + 12) != 44100 ||
                u32(at + 16) != 88200 || u16(at + 20) != 2 || u16(at + 22) != 16)
                return {{}, QStringLiteral("not 16-bit PCM mono 44100 Hz")};
            haveFmt = true;
        } else if (id == "data") {
            if (!haveFmt || len % 2)
                return {{}, QStringLiteral("bad data chunk")};
            for (quint32 i = 0; i < len; i += 2)
                w.samples.append(qint16(u16(at + 8 + int(i))));
            return w;
        }
        at += 8 + int(len) + int(len % 2);
    }
    return {{}, QStringLiteral("no data chunk")};
}

// Sound bursts, as lengths of loud runs in 10 ms windows; short dips inside a burst are ignored.
QVector<int> bursts(const QVector<qint16> &s, int *longestGapMs)
{
    const int win = 441;
    const int peak = std::abs(*std::max_element(
        s.begin(), s.end(), [](qint16 a, qint16 b) { return std::abs(a) < std::abs(b); }));
    QVector<int> runs;
    int quiet = 0, loud = 0;
    *longestGapMs = 0;
    for (int i = 0; i + win <= s.size(); i += win) {
        int m = 0;
        for (int j = i; j < i + win; ++j)
            m = std::max(m, std::abs(int(s[j])));
        if (m > peak / 20) {
            if (loud == 0 || quiet >= 5) {
                if (loud > 0)
                    *longestGapMs = std::max(*longestGapMs, quiet * 10);
                runs.append(0);
            }
            quiet = 0;
            ++loud;
            ++runs.last();
        } else if (loud > 0) {
            ++quiet;
        }
    }
    return runs;
}

int distinctRgb(const QImage &img)
{
    QSet<QRgb> seen;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            seen.insert(img.pixel(x, y));
    return seen.size();
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
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
        QTest::addColumn<int>("burstCount");
        QTest::newRow("chime") << "1x_Timer_HF.wav" << 400 << 900 << 1;
        QTest::newRow("double") << "2x_00_00_EL.wav" << 600 << 1100 << 2;
    }

    void sounds()
    {
        QFETCH(QString, file);
        QFETCH(int, minMs);
        QFETCH(int, maxMs);
        QFETCH(int, burstCount);
        const Wav w = readWav(m_dir.filePath(file));
        QVERIFY2(w.error.isEmpty(), qPrintable(w.error));
        const int ms = int(w.samples.size() * 1000LL / 44100);
        QVERIFY2(ms >= minMs && ms <= maxMs, qPrintable(QString::number(ms)));

        int peak = 0;
        for (qint16 v : w.samples)
            peak = std::max(peak, std::abs(int(v)));
        QVERIFY2(peak > 8000, "too quiet");
        QVERIFY2(peak < 32767, "clipped");
        // A hard start clicks through the speaker.
        QVERIFY(std::abs(int(w.samples.first())) < 1000);

        int gapMs = 0;
        const QVector<int> runs = bursts(w.samples, &gapMs);
        QCOMPARE(runs.size(), burstCount);
        if (burstCount > 1)
            QVERIFY2(gapMs >= 100, qPrintable(QString::number(gapMs)));
    }

    void titlePicture()
    {
        QImageReader reader(m_dir.filePath(QStringLiteral("rittmeter.jpg")));
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage img = reader.read();
        QVERIFY2(!img.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(img.size(), QSize(300, 90));
        QVERIFY(distinctRgb(img) > 200);
    }

    void armingIcons()
    {
        const QImage off = armingIcon(false).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage on = armingIcon(true).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(off.size(), QSize(20, 20));
        QCOMPARE(on.size(), QSize(20, 20));
        int differing = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                differing += off.pixel(x, y) != on.pixel(x, y);
        QVERIFY2(differing > 100, qPrintable(QString::number(differing)));
        // Armed must read as red at a glance, unarmed must not.
        const QColor onRim = on.pixelColor(10, 4), offRim = off.pixelColor(10, 4);
        QVERIFY(onRim.red() > 200 && onRim.green() < 120);
        QVERIFY(std::abs(offRim.red() - offRim.green()) < 30);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
