#include "InfoHelp.h"

#include "DataFiles.h"
#include "DesktopOpener.h"
#include "MessageBoxes.h"
#include "TFormInfo.h"
#include "TFormMainUi.h"
#include "TImage.h"
#include "TLbSpeedButton.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QUrl>

InfoHelp::InfoHelp(TFormMainUi &ui, TFormInfo &info, QObject *parent)
    : QObject(parent), m_ui(ui), m_info(info)
{
    connect(m_ui.bInfo, &QToolButton::clicked, this, &InfoHelp::bInfoClick);
    connect(m_ui.Info1, &QAction::triggered, this, &InfoHelp::bInfoClick);
    connect(m_ui.bHelp, &QToolButton::clicked, this, &InfoHelp::bHelpClick);
    connect(m_ui.Help1, &QAction::triggered, this, &InfoHelp::bHelpClick);
    connect(m_ui.ImageLogo, &TImage::clicked, this, &InfoHelp::ImageLogoClick);
}

void InfoHelp::bInfoClick()
{
    // Modal, but not a nested event loop: the clock keeps running behind it.
    m_info.setModal(true);
    m_info.show();
    m_info.raise();
    m_info.activateWindow();
}

QString InfoHelp::helpFilePath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("rittmeter.chm"));
}

QString InfoHelp::webAddress()
{
    return QStringLiteral("https://rittmeter.example.org/");
}

void InfoHelp::bHelpClick()
{
    // A help file beside the program wins; otherwise the manual, in the browser.
    QString help = helpFilePath();
    if (!QFileInfo::exists(help))
        help = findDataFile(QStringLiteral("handbuch.html"));
    if (!help.isEmpty() && desktopOpener().openUrl(QUrl::fromLocalFile(help)))
        return;
    messageBoxes().warning(m_ui.form, QStringLiteral("Warning!"),
                           QStringLiteral("Unable to view HTML help (*.chm). Update windows help "
                                          "system. Get new \"HHCTRL.OCX\" library."));
}

void InfoHelp::ImageLogoClick()
{
    desktopOpener().openUrl(QUrl(webAddress()));
}
