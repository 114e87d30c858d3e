#pragma once

#include "BrokerStatus.h"
#include "ShowArenas.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>

// Every arena of one show as the broker tells of them: the last live, results and status message
// of each. Each message is checked before it is kept; one that is not JSON of the expected kind,
// too large, or on a topic of another shape is refused and said why, and changes nothing.
class ShowFeed
{
public:
    static constexpr int MaxMessageBytes = 4 << 20;
    static constexpr int MaxArenas = 64;

    explicit ShowFeed(const QString &show = {});

    // Takes one message; receivedMs on the steady clock (see ShowArenas). Returns Drop::None when
    // the picture took it (or it was of a kind not shown, such as entries).
    BrokerStatus::Drop take(const QByteArray &topic, const QByteArray &payload, qint64 receivedMs);
    // The arenas now, sorted by name.
    std::shared_ptr<const ShowArenas> picture() const;

private:
    struct Kept
    {
        ShowArena arena;
        bool hasStatus = false; // "offline" keeps an arena with nothing else to show
    };

    QString m_show;
    std::map<QString, Kept> m_arenas; // sorted by name
};
