#include "WebPages.h"

// Placeholder until the pages land.
std::optional<WebPage> WebPages::find(QStringView) { return std::nullopt; }
