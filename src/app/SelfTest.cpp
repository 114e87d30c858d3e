#include "SelfTest.h"

#include "ClockDisplay.h"
#include "DataFiles.h"
#include "ProtocolRow.h"
#include "SessionKeeper.h"
#include "SoundPlayer.h"
#include "TFormMain.h"
#include "TSortGrid.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {
constexpr int RunMs = 150;

class SilentPlayer : public SoundPlayer
{
public:
    void play(const QString &) override {}
};

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool report(bool ok, const QString &what)
{
    std::printf("%s %s\n", ok ? "OK    " : "FEHLER", qPrintable(what));
    return ok;
}
} // namespace

int runSelfTest()
{
    // The user's settings and kept protocol stay as they are.
    QTemporaryDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("config"));
    setSessionFolder(home.filePath(QStringLiteral("Rittmeter")));
    SilentPlayer silence;
    setSoundPlayer(&silence);

    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        std::printf("Ohne Bildschirm (offscreen): die Fenster werden nicht gezeigt.\n");
    bool ok = true;
    for (const char *name : {"1x_Timer_HF.wav", "2x_00_00_EL.wav", "rittmeter.jpg", "Deutsch.lng",
                             "English.lng", "handbuch.html"}) {
        const QString path = findDataFile(QLatin1String(name));
        ok &= report(!path.isEmpty(), QLatin1String(name) + QStringLiteral(": ") +
                                          (path.isEmpty() ? QStringLiteral("fehlt")
                                                          : QDir::toNativeSeparators(path)));
    }

    {
        TFormMain window;
        window.show();
        window.clock().startReveal();
        while (window.clock().revealing())
            window.clock().revealStep();
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes);
        ok &= report(box.button(QMessageBox::Yes)->text() == QStringLiteral("&Ja"),
                     QStringLiteral("Qt-Dialoge: ") + box.button(QMessageBox::Yes)->text());

        window.ui.mStart->trigger();
        wait(RunMs);
        window.ui.mStop->trigger();
        window.ui.mEintragen->trigger();
        const QString time = window.ui.SortGrid1->cells(ColRideTime, 1);
        const double seconds = QString(time).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
        ok &= report(seconds >= RunMs / 1000.0 && seconds < 10,
                     QStringLiteral("Ritt gemessen und eingetragen: %1 s").arg(time));
    }
    setSoundPlayer(nullptr);
    setSessionFolder(QString());
    std::printf("%s\n", ok ? "Selbsttest bestanden." : "Selbsttest NICHT bestanden.");
    return ok ? 0 : 1;
}
