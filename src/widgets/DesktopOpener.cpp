#include "DesktopOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool DesktopOpener::openUrl(const QUrl &url)
{
    // The desktop launcher reports success before it looks at the file, so a missing file is
    // caught here.
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return false;
    return QDesktopServices::openUrl(url);
}

namespace {
DesktopOpener g_defaultOpener;
DesktopOpener *g_opener = &g_defaultOpener;
} // namespace

DesktopOpener &desktopOpener()
{
    return *g_opener;
}
void setDesktopOpener(DesktopOpener *opener)
{
    g_opener = opener ? opener : &g_defaultOpener;
}
