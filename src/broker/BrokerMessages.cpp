#include "BrokerMessages.h"

#include <QUuid>

namespace BrokerMessages {

QByteArray live(const LiveSnapshot &, quint32, qint64)
{
    return {}; // placeholder
}

QByteArray entry(const LiveSnapshot &, const QString &, quint64, const QString &, const QString &,
                 const QDateTime &)
{
    return {}; // placeholder
}

QString newEntryId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace BrokerMessages
