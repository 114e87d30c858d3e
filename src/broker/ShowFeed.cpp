#include "ShowFeed.h"

ShowFeed::ShowFeed(const QString &show) : m_show(show) {}

BrokerStatus::Drop ShowFeed::take(const QByteArray &, const QByteArray &, qint64)
{
    return BrokerStatus::Drop::None; // placeholder
}

std::shared_ptr<const ShowArenas> ShowFeed::picture() const
{
    auto picture = std::make_shared<ShowArenas>();
    picture->show = m_show;
    for (const auto &[name, arena] : m_arenas)
        picture->arenas.append(arena);
    return picture;
}
