#pragma once

#include <QByteArray>
#include <QString>

#include <deque>

// The entries not yet acknowledged by the broker, oldest first. Kept in a file, rewritten whole on
// every change, so entries made during an outage survive a crash or a quit and go out, in order,
// when the broker is back.
class BrokerOutbox
{
public:
    struct Entry
    {
        QString id;
        quint64 sequence = 0;
        QByteArray topic;
        QByteArray payload;
        bool operator==(const Entry &o) const;
    };

    // An empty path keeps the entries in memory only.
    explicit BrokerOutbox(const QString &path = {});

    // Reads what the file holds, appended after any entries held now. A missing file is empty;
    // an unreadable one is kept aside (renamed), reported, and not overwritten.
    bool load(QString *error = nullptr);
    // Appends an entry and writes the file. False (and error) when it could not be written: the
    // entry is still held in memory and sent.
    bool add(const Entry &entry, QString *error = nullptr);
    // Drops the entry with this id, once the broker has acknowledged it.
    bool remove(const QString &id, QString *error = nullptr);

    const std::deque<Entry> &entries() const { return m_entries; }
    int size() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    // The next sequence number: one past the highest ever held.
    quint64 nextSequence() const { return m_nextSequence; }

private:
    bool save(QString *error);

    QString m_path;
    std::deque<Entry> m_entries;
    quint64 m_nextSequence = 1;
    bool m_loaded = false;  // the file has been read (or found missing, or moved aside)
    bool m_blocked = false; // the file could be neither read nor moved aside: never written over
};
