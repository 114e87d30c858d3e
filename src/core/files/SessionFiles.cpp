#include "SessionFiles.h"

#include "TextProtocol.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString Format = QStringLiteral("Rittmeter-Sitzung");
constexpr int Version = 1;

QJsonArray toArray(const QStringList &list)
{
    QJsonArray array;
    for (const QString &s : list)
        array.append(s);
    return array;
}

bool fromArray(const QJsonValue &value, QStringList &list)
{
    if (!value.isArray())
        return false;
    const QJsonArray array = value.toArray();
    list.clear();
    list.reserve(array.size());
    for (const QJsonValue &v : array) {
        if (!v.isString())
            return false;
        list << v.toString();
    }
    return true;
}
} // namespace

QByteArray writeSessionState(const SessionState &state)
{
    const QJsonObject o{{QStringLiteral("format"), Format},
                        {QStringLiteral("version"), Version},
                        {QStringLiteral("closed"), state.closed},
                        {QStringLiteral("procedure"), state.procedure},
                        {QStringLiteral("starters"), toArray(state.starters)},
                        {QStringLiteral("headNumbers"), toArray(state.headNumbers)},
                        {QStringLiteral("position"), state.position},
                        {QStringLiteral("startNumber"), state.startNumber},
                        {QStringLiteral("headNumber"), state.headNumber},
                        {QStringLiteral("rider"), state.rider},
                        {QStringLiteral("horse"), state.horse},
                        {QStringLiteral("club"), state.club},
                        {QStringLiteral("runOnCourseMs"), state.runOnCourseMs}};
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

bool readSessionState(const QByteArray &bytes, SessionState &state)
{
    const QJsonDocument doc = QJsonDocument::fromJson(bytes);
    const QJsonObject o = doc.object();
    if (o.value(QStringLiteral("format")).toString() != Format ||
        o.value(QStringLiteral("version")).toInt() != Version)
        return false;
    SessionState read;
    read.closed = o.value(QStringLiteral("closed")).toBool();
    read.procedure = o.value(QStringLiteral("procedure")).toString();
    if (!fromArray(o.value(QStringLiteral("starters")), read.starters) ||
        !fromArray(o.value(QStringLiteral("headNumbers")), read.headNumbers))
        return false;
    read.position = o.value(QStringLiteral("position")).toInt(-1);
    // A position past the list would select nothing, or the wrong starter.
    if (read.position < -1 || read.position >= read.starters.size())
        read.position = read.starters.isEmpty() ? -1 : 0;
    read.startNumber = o.value(QStringLiteral("startNumber")).toString();
    read.headNumber = o.value(QStringLiteral("headNumber")).toString();
    read.rider = o.value(QStringLiteral("rider")).toString();
    read.horse = o.value(QStringLiteral("horse")).toString();
    read.club = o.value(QStringLiteral("club")).toString();
    // A time beyond a day is no run's.
    const qint64 ms = o.value(QStringLiteral("runOnCourseMs")).toInteger(-1);
    read.runOnCourseMs = ms >= 0 && ms < 86'400'000 ? qint32(ms) : -1;
    state = read;
    return true;
}

QString asideName(const QString &name, const QDateTime &written, int attempt)
{
    const QFileInfo info(name);
    QString aside = info.completeBaseName() + QLatin1Char('-') + DefaultExportName(written);
    if (attempt > 1)
        aside += QLatin1Char('-') + QString::number(attempt);
    return aside + QLatin1Char('.') + info.suffix();
}
