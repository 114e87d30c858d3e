#pragma once

#include "LiveSnapshot.h"

#include <QByteArray>
#include <QDateTime>

// The payloads this timing PC publishes (see the README for their fields).
namespace BrokerMessages {

// The live server's live.json at tick now, with "sentAt": milliseconds since the epoch, UTC.
QByteArray live(const LiveSnapshot &snapshot, quint32 now, qint64 sentAtMs);

// One entered or aborted run: the snapshot's result, with an id unique to this entry, its
// sequence number on this PC, the show's and the arena's names and the time it was entered.
QByteArray entry(const LiveSnapshot &snapshot, const QString &id, quint64 sequence,
                 const QString &show, const QString &arena, const QDateTime &enteredAt);

// A new entry id: unique across PCs and restarts.
QString newEntryId();

} // namespace BrokerMessages
