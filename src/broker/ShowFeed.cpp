#include "ShowFeed.h"

#include "BrokerTopics.h"

#include <QJsonDocument>

using Drop = BrokerStatus::Drop;

ShowFeed::ShowFeed(const QString &show) : m_show(show) {}

Drop ShowFeed::take(const QByteArray &topic, const QByteArray &payload, qint64 receivedMs)
{
    // The size before anything else: a huge message is not parsed at all.
    if (payload.size() > MaxMessageBytes)
        return Drop::TooLarge;
    const std::optional<BrokerTopics::ArenaTopic> where = BrokerTopics::parse(topic, m_show);
    if (!where)
        return Drop::BadTopic;
    const QString &leaf = where->leaf;
    const bool live = leaf == QLatin1String(BrokerTopics::Live);
    const bool results = leaf == QLatin1String(BrokerTopics::Results);
    const bool status = leaf == QLatin1String(BrokerTopics::Status);
    if (!live && !results && !status)
        return Drop::None; // entries, and leaves of later versions: not shown

    if (!payload.isEmpty()) {
        if (status) {
            if (payload != "online" && payload != "offline")
                return Drop::NotJson;
        } else {
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
            if (error.error != QJsonParseError::NoError ||
                (live ? !document.isObject() : !document.isArray()))
                return Drop::NotJson;
        }
    }

    auto it = m_arenas.find(where->arena);
    if (it == m_arenas.end()) {
        if (payload.isEmpty())
            return Drop::None; // removes what is not there
        if (int(m_arenas.size()) >= MaxArenas)
            return Drop::BadTopic;
        it = m_arenas.emplace(where->arena, Kept{}).first;
        it->second.arena.name = where->arena;
    }
    Kept &kept = it->second;
    ShowArena &arena = kept.arena;
    if (live) {
        arena.live = payload;
        arena.liveReceivedMs = payload.isEmpty() ? 0 : receivedMs;
    } else if (results) {
        arena.results = payload;
    } else {
        kept.hasStatus = !payload.isEmpty();
        arena.online = payload == "online";
    }
    // An empty retained message clears that part; the arena goes once nothing of it is left.
    if (arena.live.isEmpty() && arena.results.isEmpty() && !kept.hasStatus)
        m_arenas.erase(it);
    return Drop::None;
}

std::shared_ptr<const ShowArenas> ShowFeed::picture() const
{
    auto picture = std::make_shared<ShowArenas>();
    picture->show = BrokerTopics::showLevel(m_show);
    for (const auto &[name, kept] : m_arenas)
        picture->arenas.append(kept.arena);
    return picture;
}
