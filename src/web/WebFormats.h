#pragma once

#include "LiveSnapshot.h"
#include "ShowArenas.h"

#include <QByteArray>
#include <QJsonObject>

// The live state and the protocol as the network reads them: JSON, XML and CSV, all UTF-8. Texts
// are the program's own as the operator's window shows them; every format escapes them, so any
// name comes out valid and intact.
namespace WebFormats {

// A text with unpaired UTF-16 surrogates replaced by U+FFFD, so every format can encode it.
QString validText(const QString &text);

// The fields of one protocol row: rank, startNumber, headNumber, rider, horse, club, faults,
// penaltySeconds, timeFaults, points, time, rideTime, abort. withRank false leaves rank out.
QJsonObject rowObject(const QStringList &row, bool withRank = true);

// The live state at tick now, without the protocol rows (see the README for its fields).
QByteArray liveJson(const LiveSnapshot &snapshot, quint32 now);

// The protocol rows (headings left out), in ranked order.
QByteArray resultsJson(const LiveSnapshot &snapshot);
QByteArray resultsXml(const LiveSnapshot &snapshot);
QByteArray resultsCsv(const LiveSnapshot &snapshot);

// The change from one protocol to the next, for the event stream: one splice of the rows. A row's
// rank is its place unless it says "tie" (the rank above) or carries its own. An empty `before`
// gives the whole list.
QByteArray rowsMessage(const QList<QStringList> &before, quint64 beforeRevision,
                       const QList<QStringList> &after, quint64 revision);

// Every arena of the show for "/show": its name, status, live message with "ageMs" (how long ago it
// came, by nowMs on the steady clock) and results, as they came.
QByteArray showJson(const ShowArenas &show, qint64 nowMs);

} // namespace WebFormats
