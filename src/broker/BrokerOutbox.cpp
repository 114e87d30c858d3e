#include "BrokerOutbox.h"

bool BrokerOutbox::Entry::operator==(const Entry &o) const
{
    return id == o.id && sequence == o.sequence && topic == o.topic && payload == o.payload;
}

BrokerOutbox::BrokerOutbox(const QString &path) : m_path(path) {}

bool BrokerOutbox::load(QString *)
{
    return true; // placeholder
}

bool BrokerOutbox::add(const Entry &entry, QString *error)
{
    m_entries.push_back(entry);
    m_nextSequence = std::max(m_nextSequence, entry.sequence + 1);
    return save(error);
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

bool BrokerOutbox::save(QString *)
{
    return true; // placeholder
}
