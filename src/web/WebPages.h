#pragma once

#include <QByteArray>
#include <QStringView>

#include <optional>

// The phone page and the overlay pages with their scripts and styles, built into the program:
// the server reads no file, and the pages load nothing from elsewhere.
struct WebPage
{
    QByteArray contentType;
    QByteArray body;
};

namespace WebPages {
// The page at a fixed route ("/", "/app.js", "/overlay/clock", ...); nullopt for any other path.
std::optional<WebPage> find(QStringView path);
} // namespace WebPages
