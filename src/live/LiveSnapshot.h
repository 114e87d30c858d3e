#pragma once

#include "LiveRun.h"
#include "ProtocolRow.h"

#include <QList>
#include <QStringList>

// The competition as the audience, the files and the live outputs see it at one instant. A
// snapshot is a value: it may be kept, and handed to another thread, while the program goes on.
// Texts are as the operator's window shows them.
struct LiveSnapshot
{
    // The competition: its titles, and the rules its results are judged by.
    struct Competition
    {
        QString title1, title2;
        JudgingProcedure procedure = JudgingProcedure::A;
        int allowedSeconds = 120;
        int timeFaultInterval = 100; // in 1/100 s
        int timeFaultPoints = 25;    // per commenced interval, in 1/100
        int decimals = 2;            // of the times shown and entered
        bool operator==(const Competition &o) const;
    };

    // The rider on the course or next up, and the starter list they were chosen from.
    struct Starter
    {
        QString startNumber, headNumber, horse, rider, club;
        int position = -1; // in the list, from 0; -1: none chosen, or no list
        QStringList items; // the list as loaded: one item per starter, start number first
        QStringList headNumbers;
        bool operator==(const Starter &o) const;
    };

    // The figures of the run on the course, as their fields show them.
    struct Scoring
    {
        QString faults = QStringLiteral("0");
        QString penaltySeconds = QStringLiteral("0");
        QString timeFaults; // empty until the first run
        QString total;      // the running total as the bottom line shows it
        bool operator==(const Scoring &o) const;
    };

    // The run entered last.
    struct Result
    {
        QStringList row; // its protocol row; empty: nothing entered since NEXT
        QString rank;
        QString text; // the result line ("Punkte:4,00   Platz:3"), or the abort's text
        bool operator==(const Result &o) const;
    };

    Competition competition;
    Starter starter;
    LiveRun run;
    Scoring scoring;
    // The audience's bottom line: the running points, the result or the abort's text; empty
    // shows the date and time.
    QString info;
    bool startCellArmed = false;
    bool finishCellArmed = false;
    Result result;
    // The runs entered (or aborted) since the program started: each entry counts one, so a
    // reader that sees it grow knows `result` is a new entry, even if it reads like the last.
    quint64 entries = 0;
    // The protocol, headings first, in its ranked order; the revision counts its changes.
    QList<QStringList> protocol;
    quint64 protocolRevision = 0;
};
