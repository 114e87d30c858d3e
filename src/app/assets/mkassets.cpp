// Writes the program's sounds, title picture, icons and German language file into the folder named
// on the command line. Everything is synthesised or drawn here so the build needs no binary files.

#include "LanguageTable.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int SampleRate = 44100;
constexpr double Pi = 3.14159265358979323846;

void appendLe32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void appendLe16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

bool writeWav(const QString &path, const std::vector<double> &samples)
{
    const quint32 dataBytes = quint32(samples.size() * 2);
    QByteArray out;
    out.append("RIFF");
    appendLe32(out, 36 + dataBytes);
    out.append("WAVEfmt ");
    appendLe32(out, 16);
    appendLe16(out, 1); // integer PCM
    appendLe16(out, 1); // mono
    appendLe32(out, SampleRate);
    appendLe32(out, SampleRate * 2);
    appendLe16(out, 2);
    appendLe16(out, 16);
    out.append("data");
    appendLe32(out, dataBytes);
    for (double s : samples) {
        const double clipped = std::fmax(-1.0, std::fmin(1.0, s));
        appendLe16(out, quint16(qint16(std::lround(clipped * 32767.0))));
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size() && f.flush();
}

// A struck-bell sound: inharmonic partials that die away at different rates.
std::vector<double> chime()
{
    const int n = int(0.6 * SampleRate);
    std::vector<double> s(n);
    const double partials[][3] = {{880.0, 0.55, 6.0}, {1760.0, 0.25, 9.0}, {2430.0, 0.15, 14.0}};
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / SampleRate;
        const double attack = std::fmin(1.0, t / 0.004); // avoids a click at the onset
        double v = 0.0;
        for (const auto &p : partials)
            v += p[1] * std::exp(-p[2] * t) * std::sin(2 * Pi * p[0] * t);
        s[i] = 0.8 * attack * v;
    }
    return s;
}

// Two clean beeps with a clear pause, so the rider hears two distinct signals.
std::vector<double> doubleTone()
{
    const double beep = 0.25, gap = 0.3, ramp = 0.008;
    const int n = int((2 * beep + gap) * SampleRate);
    std::vector<double> s(n, 0.0);
    for (const double start : {0.0, beep + gap}) {
        const int first = int(start * SampleRate);
        for (int i = 0; i < int(beep * SampleRate) && first + i < n; ++i) {
            const double t = double(i) / SampleRate;
            const double env = std::fmin(1.0, std::fmin(t, beep - t) / ramp);
            s[first + i] =
                0.6 * env * (std::sin(2 * Pi * 1000.0 * t) + 0.2 * std::sin(2 * Pi * 3000.0 * t));
        }
    }
    return s;
}

QImage titlePicture()
{
    QImage img(300, 90, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, img.height());
    bg.setColorAt(0.0, QColor(18, 40, 96));
    bg.setColorAt(1.0, QColor(4, 12, 36));
    p.fillRect(img.rect(), bg);

    // A stopwatch: case, crown and a hand pointing at the finish.
    const QPointF c(45, 49);
    p.setPen(QPen(QColor(230, 235, 245), 4));
    p.setBrush(QColor(30, 60, 130));
    p.drawEllipse(c, 28, 28);
    p.setBrush(QColor(230, 235, 245));
    p.drawRect(QRectF(c.x() - 5, c.y() - 40, 10, 6));
    p.setPen(QPen(QColor(255, 120, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(14, -16));
    p.setPen(QPen(QColor(230, 235, 245), 2));
    for (int i = 0; i < 12; ++i) {
        const double a = i * Pi / 6;
        p.drawLine(c + QPointF(22 * std::cos(a), 22 * std::sin(a)),
                   c + QPointF(25 * std::cos(a), 25 * std::sin(a)));
    }

    // A fence rail under the lettering.
    p.setPen(Qt::NoPen);
    for (int x = 90; x < 290; x += 20) {
        p.setBrush((x / 20) % 2 ? QColor(220, 40, 40) : QColor(245, 245, 245));
        p.drawRect(QRectF(x, 70, 20, 6));
    }

    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(36);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(245, 245, 250));
    p.drawText(QRectF(88, 10, 210, 56), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Rittmeter"));
    return img;
}

// The desktop's icon for the program: the title picture's stopwatch on its navy ground, over a
// red and white rail. Drawn on a 256 grid and scaled, so every size is sharp.
QImage programIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    QLinearGradient bg(0, 0, 0, 256);
    bg.setColorAt(0.0, QColor(18, 40, 96));
    bg.setColorAt(1.0, QColor(4, 12, 36));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

    const QPointF c(128, 118);
    p.setPen(QPen(QColor(230, 235, 245), 12));
    p.setBrush(QColor(30, 60, 130));
    p.drawEllipse(c, 78, 78);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 235, 245));
    p.drawRoundedRect(QRectF(c.x() - 14, c.y() - 102, 28, 22), 4, 4);
    p.setPen(QPen(QColor(230, 235, 245), 6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 12; ++i) {
        const double a = i * Pi / 6;
        p.drawLine(c + QPointF(58 * std::cos(a), 58 * std::sin(a)),
                   c + QPointF(68 * std::cos(a), 68 * std::sin(a)));
    }
    p.setPen(QPen(QColor(255, 120, 40), 10, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(36, -42));

    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        p.setBrush(i % 2 ? QColor(245, 245, 245) : QColor(220, 40, 40));
        p.drawRect(QRectF(38 + i * 30, 212, 30, 16));
    }
    return img;
}

// The built-in texts as a language file, for translators and for the way back to German: UTF-8
// with its byte-order mark, so it reads right under any character set.
bool writeGermanLanguageFile(const QString &path)
{
    QByteArray out("\xEF\xBB\xBF");
    for (int line = 1; line <= LanguageLinesUsed; ++line) {
        out += line == LanguageLine::Notice ? BuiltInNotice : LanguageTable[line - 1].builtin;
        out += "\r\n";
    }
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size() && f.commit();
}

} // namespace

int main(int argc, char **argv)
{
    // Runs on build machines without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkassets <output folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "mkassets: cannot create %s\n", argv[1]);
        return 1;
    }
    if (!writeWav(dir.filePath(QStringLiteral("1x_Timer_HF.wav")), chime()) ||
        !writeWav(dir.filePath(QStringLiteral("2x_00_00_EL.wav")), doubleTone())) {
        std::fprintf(stderr, "mkassets: cannot write the sound files in %s\n", argv[1]);
        return 1;
    }
    if (!titlePicture().save(dir.filePath(QStringLiteral("rittmeter.jpg")), "JPG", 90)) {
        std::fprintf(stderr, "mkassets: cannot save rittmeter.jpg (is the Qt jpeg plugin "
                             "installed?)\n");
        return 1;
    }
    for (const int size : {48, 128, 256}) {
        const QString name = QStringLiteral("rittmeter-%1.png").arg(size);
        if (!programIcon(size).save(dir.filePath(name), "PNG")) {
            std::fprintf(stderr, "mkassets: cannot save %s\n", qPrintable(name));
            return 1;
        }
    }
    if (!writeGermanLanguageFile(dir.filePath(QStringLiteral("Deutsch.lng")))) {
        std::fprintf(stderr, "mkassets: cannot write Deutsch.lng in %s\n", argv[1]);
        return 1;
    }
    return 0;
}
