#include "BrokerTopics.h"

namespace BrokerTopics {

QString level(const QString &name, const QString &fallback)
{
    // placeholder
    return name.isEmpty() ? fallback : name;
}

QString showLevel(const QString &show)
{
    return level(show, QStringLiteral("turnier"));
}

QString arenaLevel(const QString &arena)
{
    return level(arena, QStringLiteral("platz"));
}

QByteArray topic(const QString &show, const QString &arena, const char *leaf)
{
    return QStringLiteral("rittmeter/%1/%2/%3")
        .arg(showLevel(show), arenaLevel(arena), QLatin1String(leaf))
        .toUtf8();
}

QByteArray showFilter(const QString &show)
{
    return QStringLiteral("rittmeter/%1/#").arg(showLevel(show)).toUtf8();
}

std::optional<ArenaTopic> parse(const QByteArray &, const QString &)
{
    return std::nullopt; // placeholder
}

} // namespace BrokerTopics
