#include "QtSoundPlayer.h"
#include "TFormMain.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Ostrel"));
    QApplication::setApplicationName(QStringLiteral("Rittmeter"));
    QApplication::setApplicationVersion(QStringLiteral(RITTMETER_VERSION));
    // Fusion draws button faces in the colours the run states give them on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    QtSoundPlayer sounds;
    setSoundPlayer(&sounds);
    TFormMain window;
    window.show();
    const int rc = app.exec();
    setSoundPlayer(nullptr);
    return rc;
}
