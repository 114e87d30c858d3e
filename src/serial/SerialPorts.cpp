#include "SerialPorts.h"

#include "LinuxSerialBackend.h"

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
