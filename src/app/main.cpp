#include "DataFiles.h"
#include "DisplayProbe.h"
#include "QtSoundPlayer.h"
#include "SelfTest.h"
#include "SessionKeeper.h"
#include "TFormMain.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>
#include <QStyleFactory>

#include <algorithm>
#include <cstring>

namespace {
// The desktop theme's, as installed; otherwise the files beside the program or under its prefix.
QIcon programIcon()
{
    QIcon icon = QIcon::fromTheme(QStringLiteral("rittmeter"));
    if (!icon.isNull())
        return icon;
    const QDir prefix(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    for (const int size : {48, 128, 256}) {
        const QString built = findDataFile(QStringLiteral("rittmeter-%1.png").arg(size));
        const QString installed = prefix.filePath(
            QStringLiteral("share/icons/hicolor/%1x%1/apps/rittmeter.png").arg(size));
        if (const QString file = built.isEmpty() ? installed : built; QFileInfo::exists(file))
            icon.addFile(file);
    }
    return icon;
}
} // namespace

int main(int argc, char *argv[])
{
    // Over SSH or without a desktop the self-test runs offscreen, where a window would abort it;
    // a platform chosen by the user stays theirs.
    const bool selfTest = std::any_of(
        argv + 1, argv + argc, [](const char *a) { return std::strcmp(a, "--selftest") == 0; });
    if (selfTest && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !displayReachable())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Ostrel"));
    QApplication::setApplicationName(QStringLiteral("Rittmeter"));
    QApplication::setApplicationVersion(QStringLiteral(RITTMETER_VERSION));
    // ~/.local/share/Ostrel/Rittmeter: the kept protocol and the impulse logs.
    setSessionFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    // Fusion draws button faces in the colours the run states give them on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("rittmeter"));
    if (selfTest)
        return runSelfTest();

    // Before the window: a logout during the start must not kill the program either.
    TerminationSignals termination;
    // Ends every event loop, a question's included, without asking; the window saves the
    // settings as it closes.
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app,
                     [] { QCoreApplication::exit(0); });

    QtSoundPlayer sounds;
    setSoundPlayer(&sounds);
    TFormMain window;
    window.show();
    // A signal while the window was made (during the restore question) ends the program now.
    const int rc = TerminationSignals::requested() ? 0 : app.exec();
    setSoundPlayer(nullptr);
    return rc;
}
