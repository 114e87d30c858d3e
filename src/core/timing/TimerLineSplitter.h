#pragma once

#include <QByteArray>
#include <QList>

// Cuts a timing device's byte stream into lines at CR or LF (CR LF and empty lines give no empty
// line). The buffer is bounded: a line longer than MaxLine is dropped up to its end, and reported
// once, as the bytes it started with.
class TimerLineSplitter
{
public:
    static constexpr int MaxLine = 256;

    struct Piece
    {
        QByteArray bytes;     // the line, or the first MaxLine bytes of one too long
        bool tooLong = false;
    };

    QList<Piece> feed(const QByteArray &chunk);
    // Forgets a line begun: the port was closed.
    void reset();

private:
    QByteArray m_line;
    bool m_dropping = false;
};
