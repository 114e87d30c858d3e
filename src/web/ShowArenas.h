#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

// One arena of the show, as its timing PC last told the broker.
struct ShowArena
{
    QString name;              // its topic level
    bool online = false;       // its status message says "online"
    QByteArray live;           // its last live message (a JSON object); empty: none yet
    QByteArray results;        // its last results message (a JSON array); empty: none yet
    qint64 liveReceivedMs = 0; // when live came, in ms of std::chrono::steady_clock
};

// Every arena of one show, sorted by name: what the live server's "/show" serves. A value.
struct ShowArenas
{
    QString show;
    QList<ShowArena> arenas;
};

// Steady-clock milliseconds, the clock of ShowArena::liveReceivedMs.
qint64 showClockMs();
