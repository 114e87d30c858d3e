#include "BrokerMessages.h"

#include "BrokerTopics.h"
#include "WebFormats.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

namespace BrokerMessages {

QByteArray live(const LiveSnapshot &snapshot, quint32 now, qint64 sentAtMs)
{
    // The live page's own message, so a reader of either reads the same fields.
    QJsonObject object = QJsonDocument::fromJson(WebFormats::liveJson(snapshot, now)).object();
    object.insert(QStringLiteral("sentAt"), double(sentAtMs));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray entry(const LiveSnapshot &snapshot, const QString &id, quint64 sequence,
                 const QString &show, const QString &arena, const QDateTime &enteredAt)
{
    using WebFormats::validText;
    const LiveSnapshot::Result &result = snapshot.result;
    // The names as the topic carries them, so a reader can match an entry to its arena.
    const QJsonObject object{
        {QStringLiteral("id"), id},
        {QStringLiteral("sequence"), double(sequence)},
        {QStringLiteral("show"), BrokerTopics::showLevel(show)},
        {QStringLiteral("arena"), BrokerTopics::arenaLevel(arena)},
        {QStringLiteral("enteredAt"), enteredAt.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("title1"), validText(snapshot.competition.title1)},
        {QStringLiteral("title2"), validText(snapshot.competition.title2)},
        {QStringLiteral("rank"), validText(result.rank)},
        {QStringLiteral("text"), validText(result.text)},
        {QStringLiteral("row"), result.row.isEmpty()
                                    ? QJsonValue(QJsonValue::Null)
                                    : QJsonValue(WebFormats::rowObject(result.row))}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QString newEntryId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace BrokerMessages
