#include "BrokerOutbox.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

namespace {

void say(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// The entries of the file's JSON; false when it is not what this program writes.
bool readEntries(const QByteArray &data, std::deque<BrokerOutbox::Entry> &entries, quint64 &next)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    const QJsonObject root = document.object();
    const QJsonValue nextValue = root.value(QLatin1String("next"));
    const QJsonValue list = root.value(QLatin1String("entries"));
    if (parseError.error != QJsonParseError::NoError || !document.isObject() ||
        !nextValue.isDouble() || nextValue.toDouble() < 1 || !list.isArray())
        return false;
    next = quint64(nextValue.toDouble());
    for (const QJsonValue &value : list.toArray()) {
        const QJsonObject o = value.toObject();
        const QJsonValue id = o.value(QLatin1String("id")), sequence = o.value("sequence"),
                         topic = o.value("topic"), payload = o.value("payload");
        if (!id.isString() || id.toString().isEmpty() || !sequence.isDouble() ||
            sequence.toDouble() < 1 || !topic.isString() || topic.toString().isEmpty() ||
            !payload.isString())
            return false;
        entries.push_back({id.toString(), quint64(sequence.toDouble()), topic.toString().toUtf8(),
                           payload.toString().toUtf8()});
    }
    return true;
}

} // namespace

bool BrokerOutbox::Entry::operator==(const Entry &o) const
{
    return id == o.id && sequence == o.sequence && topic == o.topic && payload == o.payload;
}

BrokerOutbox::BrokerOutbox(const QString &path) : m_path(path) {}

bool BrokerOutbox::load(QString *error)
{
    m_loaded = true;
    if (m_path.isEmpty() || !QFile::exists(m_path))
        return true;
    QFile file(m_path);
    std::deque<Entry> read;
    quint64 next = 1;
    if (file.open(QIODevice::ReadOnly) && readEntries(file.readAll(), read, next)) {
        for (Entry &entry : read) {
            const bool held = std::any_of(m_entries.begin(), m_entries.end(),
                                          [&](const Entry &e) { return e.id == entry.id; });
            m_nextSequence = std::max(m_nextSequence, entry.sequence + 1);
            if (!held)
                m_entries.push_back(std::move(entry));
        }
        m_nextSequence = std::max(m_nextSequence, next);
        return true;
    }
    file.close();
    // Kept for a person to look at; a name already taken is not overwritten.
    QString aside = m_path + QStringLiteral(".defekt");
    for (int n = 2; QFile::exists(aside); ++n)
        aside = m_path + QStringLiteral(".defekt-%1").arg(n);
    if (!QFile::rename(m_path, aside)) {
        // Neither read nor moved: it is left as it is, and nothing is written over it.
        m_blocked = true;
        say(error, QStringLiteral("%1: nicht lesbar und nicht umzubenennen").arg(m_path));
        return false;
    }
    say(error, QStringLiteral("%1: nicht lesbar, aufbewahrt als %2").arg(m_path, aside));
    return false;
}

bool BrokerOutbox::add(const Entry &entry, QString *error)
{
    // A file not read yet is read first, so writing this entry cannot replace the ones it holds.
    QString loadError;
    const bool loaded = m_loaded || load(&loadError);
    m_entries.push_back(entry);
    m_nextSequence = std::max(m_nextSequence, entry.sequence + 1);
    const bool saved = save(error);
    if (!loaded)
        say(error, loadError);
    return loaded && saved;
}

bool BrokerOutbox::remove(const QString &id, QString *error)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->id == id) {
            m_entries.erase(it);
            return save(error);
        }
    }
    return true;
}

bool BrokerOutbox::save(QString *error)
{
    if (m_path.isEmpty())
        return true;
    if (m_blocked) {
        say(error, QStringLiteral("%1: nicht lesbar, nicht überschrieben").arg(m_path));
        return false;
    }
    QJsonArray list;
    for (const Entry &entry : m_entries)
        list.append(QJsonObject{{QStringLiteral("id"), entry.id},
                                {QStringLiteral("sequence"), double(entry.sequence)},
                                {QStringLiteral("topic"), QString::fromUtf8(entry.topic)},
                                {QStringLiteral("payload"), QString::fromUtf8(entry.payload)}});
    const QJsonObject root{{QStringLiteral("next"), double(m_nextSequence)},
                           {QStringLiteral("entries"), list}};
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(root).toJson(QJsonDocument::Indented)) < 0 || !file.commit()) {
        say(error, QStringLiteral("%1: %2").arg(m_path, file.errorString()));
        return false;
    }
    return true;
}
