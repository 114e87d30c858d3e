#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// One line of the impulse log: a run command or a photocell's impulse.
struct ImpulseRecord
{
    QDateTime when;        // local time, to the millisecond
    QString event;         // "START", "STOP", "Impuls ignoriert (Sperrzeit)", ...
    QString source;        // "Taste F5", "Maus", "Lichtschranke COM1 DSR Start", "Countdown"
    qint32 elapsedMs = -1; // the run's time then; negative when no run is timed
    QString startNumber;
    qint64 process = 0; // the writing program's process id: two windows share the day's log
    // The penalty seconds the run's time includes, in ms; negative when no run is timed.
    qint32 penaltyMs = -1;
};

// The daily log's name: "rittmeter-2026-12-07.log".
QString impulseLogName(const QDate &day);

// The first line of a new log, naming the columns.
QString impulseLogHeading();

// Tab-separated, without the line end: date, time of day, event, source, run time in seconds
// ("65,432", "-" without a run), start number, process id, and then the time ridden (the run's
// time less its penalty seconds) and the penalty seconds, "-" without a run. The last two came
// later: a reader of older logs finds the first seven where they were. Whatever a field holds,
// the line stays one line: line breaks, tabs and other control characters become blanks.
QString impulseLogLine(const ImpulseRecord &record);
