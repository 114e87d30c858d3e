#include "WebFormats.h"

// Placeholder until the formats land.
namespace WebFormats {
QString validText(const QString &text) { return text; }
QJsonObject rowObject(const QStringList &, bool) { return {}; }
QByteArray liveJson(const LiveSnapshot &, quint32) { return "{}"; }
QByteArray resultsJson(const LiveSnapshot &) { return "[]"; }
QByteArray resultsXml(const LiveSnapshot &) { return {}; }
QByteArray resultsCsv(const LiveSnapshot &) { return {}; }
QByteArray rowsMessage(const QList<QStringList> &, quint64, const QList<QStringList> &, quint64)
{
    return "{}";
}
} // namespace WebFormats
