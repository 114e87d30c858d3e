#pragma once

#include <QByteArray>
#include <QString>

struct LiveSnapshot;

// What a scoreboard shows ("zeit", "fehler" in the settings).
enum class BoardShows
{
    Time,
    Faults
};
QString boardShowsKey(BoardShows shows);
BoardShows boardShowsFromKey(const QString &key); // unknown: Time

// The line a board shows for the competition at tick now.
struct BoardPicture
{
    QByteArray line;
    // The line changes with the time alone (a running clock or countdown): it is sent again at
    // the line's rate; otherwise once.
    bool ticking = false;
};

// "Zeit": the running time (tenths) while the clock runs, the countdown in seconds while it
// counts down (or the start number alone when countdown is false), the held or final time with
// the rank once entered. "Fehler": the start number, and the faults in the rank digits.
BoardPicture boardPicture(const LiveSnapshot &snapshot, quint32 now, BoardShows shows,
                          bool countdown);
