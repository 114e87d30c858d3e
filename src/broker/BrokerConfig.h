#pragma once

#include <QString>

// Where and as what this timing PC publishes: the broker, its credentials, and the names of the
// show and the arena the topics are made of. A value, handed to the broker's thread.
struct BrokerConfig
{
    QString host;
    quint16 port = 1883;
    bool tls = false;
    QString caFile; // empty: the system's certificates
    QString user;   // empty: anonymous
    QString password;
    QString show;
    QString arena;
    // Follows every arena of the show, for the live results server's "/show".
    bool showAll = false;
    // The file that keeps the entries the broker has not acknowledged, across a crash or a quit
    // during an outage; empty: kept in memory only.
    QString outboxPath;

    bool operator==(const BrokerConfig &o) const;
    bool operator!=(const BrokerConfig &o) const { return !(*this == o); }
};
