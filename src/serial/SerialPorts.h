#pragma once

#include "SerialBackend.h"

#include <functional>
#include <memory>

// Where the port components get their backend (the system's own, or a fake a test installs),
// and the port probes built on it.

using SerialBackendFactory = std::function<std::unique_ptr<SerialBackend>()>;

// Every port component asks this factory for its backend; tests install a fake. nullptr puts
// the system's own back.
void setSerialBackendFactory(SerialBackendFactory factory);
std::unique_ptr<SerialBackend> createSerialBackend();

// The ports 1..16 found present, in the form of comPortMask(). alsoPresent names ports that count whatever the probe finds, such as those this program holds
// open (they cannot be opened a second time).
quint32 ProbeComPorts(const std::function<bool(int)> &alsoPresent = {});

// The ports whose device exists but may not be opened, in the same form.
quint32 DeniedComPorts();
