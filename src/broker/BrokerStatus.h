#pragma once

#include <QMetaType>
#include <QString>

// What the status bar says of the broker connection.
struct BrokerStatus
{
    enum class State
    {
        Off,        // not publishing
        Connecting, // the first attempt is under way
        Connected,
        Retrying, // down or unreachable; tried again every second
        Refused   // the broker said no (refusal gives its CONNACK code); tried again too
    };
    // Why a message from the broker side was refused.
    enum class Drop
    {
        None,
        NotJson,
        TooLarge,
        BadTopic
    };

    State state = State::Off;
    QString address; // host:port
    QString reason;  // the last failure as the library or the system says it
    int refusal = 0; // CONNACK code 1 to 5 while Refused
    int waiting = 0; // entries not yet acknowledged
    int dropped = 0; // messages refused since the start
    Drop lastDrop = Drop::None;
    QString lastDropTopic;
    bool operator==(const BrokerStatus &o) const;
    bool operator!=(const BrokerStatus &o) const { return !(*this == o); }
};

Q_DECLARE_METATYPE(BrokerStatus)
