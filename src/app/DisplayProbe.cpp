#include "DisplayProbe.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

#include <xcb/xcb.h>

namespace {
bool waylandListening()
{
    const QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (name.isEmpty())
        return false;
    // A relative name lies in the runtime folder, as the compositor made it.
    const QString socket = QDir::isAbsolutePath(name)
                               ? name
                               : QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).filePath(name);
    return QFileInfo(socket).exists();
}
} // namespace

bool displayReachable()
{
    if (waylandListening())
        return true;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    // The same connection the desktop's platform plugin makes, authorisation included.
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}
