#include "SerialBackend.h"

#include <cerrno>
#include <cstring>

QString serialDevicePath(int port)
{
    if (port >= 1 && port <= 4)
        return QStringLiteral("/dev/ttyS%1").arg(port - 1);
    if (port >= 5 && port <= 12)
        return QStringLiteral("/dev/ttyUSB%1").arg(port - 5);
    if (port >= 13 && port <= 16)
        return QStringLiteral("/dev/ttyACM%1").arg(port - 13);
    return {};
}

quint32 comPortMask(const std::function<bool(int)> &present)
{
    quint32 mask = 0;
    for (int n = 1; n <= 16; ++n)
        if (present(n))
            mask = (mask & 0xFFFFu) | (1u << (n - 1)) | (quint32(n) << 16);
    return mask;
}

bool isAccessDenied(const QString &reason)
{
    return reason == QString::fromLocal8Bit(std::strerror(EACCES));
}
