#pragma once

#include <QString>
#include <QTime>

// Modem status bit of each contact code: DSR, CTS, RLSD.
inline constexpr quint32 LineMasks[3] = {0x20, 0x10, 0x80};

// Last stored line state per event kind (0 none, 1 start, 2 finish). It lives for the whole
// program; only a change of kind 0 resets it.
inline quint32 LastLineState[3] = {0x00000000, 0x55555555, 0x00AAAAAA};

struct LineChange
{
    int kind = 0;        // 0 none, 1 start photocell, 2 finish photocell
    bool counts = false; // the edge the port's algorithm reacts to
};

// Sorts one reported modem status into its photocell and decides whether it is a new edge,
// updating lastState. Ports are compared by number, so with both photocells on one port an event
// of the start port can belong to the finish photocell. algorithm: 0 "ON" (a closing contact
// counts), 1 "OFF" (an opening one counts; the lines are then read for "off"), else nothing.
LineChange ClassifyLineChange(quint32 lastState[3], int senderPort, int port1, int port2, int kont1,
                              int kont2, int algorithm, quint32 status);

// "9:05.07,03" for 9:05:07.034.
QString PhotocellTimeText(const QTime &time);
// The event list's entry: "1. 9:05.07,03".
QString PhotocellEntry(int kind, const QTime &time);
