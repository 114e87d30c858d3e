#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// What the kept session holds besides the protocol itself.
struct SessionState
{
    bool closed = false; // ended by the operator, "Beenden?" answered "Ja"
    QString procedure;   // "A", "C" or "C fahren"
    QStringList starters;
    QStringList headNumbers;
    int position = -1; // the selected starter in the list; -1 none
    // The boxes' texts, for a session without a starter list.
    QString startNumber;
    QString headNumber;
    // The starter's fields as shown, typed or taken from the list.
    QString rider;
    QString horse;
    QString club;
    // A run on course when the program ended, not entered: its time then; -1 none.
    qint32 runOnCourseMs = -1;
};

// The kept files in the data folder: the protocol as a text protocol, and the rest.
inline const QString SessionProtocolName = QStringLiteral("protokoll.txt");
inline const QString SessionStateName = QStringLiteral("sitzung.json");

QByteArray writeSessionState(const SessionState &state);
// False for anything but a kept session's state; state is then unchanged.
bool readSessionState(const QByteArray &bytes, SessionState &state);

// The name a kept file is set aside under: "protokoll-2026-12-07-14-30.txt" for one last written
// then, and "protokoll-2026-12-07-14-30-2.txt" for the second attempt when that is taken.
QString asideName(const QString &name, const QDateTime &written, int attempt);
