#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The topics a timing PC publishes under: rittmeter/<show>/<arena>/<leaf>.
namespace BrokerTopics {

inline constexpr const char *Live = "live";
inline constexpr const char *Results = "results";
inline constexpr const char *Entries = "entries";
inline constexpr const char *Status = "status";

// A name as one topic level: trimmed; '/', '+', '#', control characters and a leading '$' become
// '_'; at most 64 characters. Empty gives fallback.
QString level(const QString &name, const QString &fallback);
QString showLevel(const QString &show);   // fallback "turnier"
QString arenaLevel(const QString &arena); // fallback "platz"

// The topic of one leaf; the levels are made safe here.
QByteArray topic(const QString &show, const QString &arena, const char *leaf);
// Everything under the show, for following all its arenas.
QByteArray showFilter(const QString &show);

struct ArenaTopic
{
    QString arena; // the level as it came
    QString leaf;
};
// A topic under the show: its arena level and leaf. Nothing for any other shape (other shows,
// more or fewer levels, an empty level), so a publisher's odd topic is refused, not guessed at.
std::optional<ArenaTopic> parse(const QByteArray &topic, const QString &show);

} // namespace BrokerTopics
