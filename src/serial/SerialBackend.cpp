#include "SerialBackend.h"

#include "LinuxSerialBackend.h"

#include <cerrno>
#include <cstring>

namespace {
SerialBackendFactory &factory()
{
    static SerialBackendFactory f;
    return f;
}
} // namespace

void setSerialBackendFactory(SerialBackendFactory f)
{
    factory() = std::move(f);
}

std::unique_ptr<SerialBackend> createSerialBackend()
{
    if (factory())
        return factory()();
    return std::make_unique<LinuxSerialBackend>();
}

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

quint32 ProbeComPorts(const std::function<bool(int)> &alsoPresent)
{
    const std::unique_ptr<SerialBackend> backend = createSerialBackend();
    return comPortMask(
        [&](int port) { return (alsoPresent && alsoPresent(port)) || backend->present(port); });
}

quint32 DeniedComPorts()
{
    const std::unique_ptr<SerialBackend> backend = createSerialBackend();
    return comPortMask([&](int port) { return backend->accessDenied(port); });
}

bool isAccessDenied(const QString &reason)
{
    return reason == QString::fromLocal8Bit(std::strerror(EACCES));
}
