#include "TimerLineSplitter.h"

QList<TimerLineSplitter::Piece> TimerLineSplitter::feed(const QByteArray &chunk)
{
    QList<Piece> pieces;
    qsizetype from = 0;
    while (from < chunk.size()) {
        qsizetype end = from;
        while (end < chunk.size() && chunk[end] != '\r' && chunk[end] != '\n')
            ++end;
        if (!m_dropping) {
            // Only up to one byte past the bound is kept: enough to know the line is too long.
            m_line.append(chunk.constData() + from, qMin(end - from, MaxLine + 1 - m_line.size()));
            if (m_line.size() > MaxLine) {
                m_line.truncate(MaxLine);
                pieces.append(Piece{m_line, true});
                m_line.clear();
                m_dropping = true;
            }
        }
        if (end == chunk.size())
            break;
        if (!m_line.isEmpty()) // empty as well while a line too long is dropped
            pieces.append(Piece{m_line, false});
        m_line.clear();
        m_dropping = false;
        from = end + 1;
    }
    return pieces;
}

void TimerLineSplitter::reset()
{
    m_line.clear();
    m_dropping = false;
}
