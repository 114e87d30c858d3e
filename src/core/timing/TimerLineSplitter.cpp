#include "TimerLineSplitter.h"

QList<TimerLineSplitter::Piece> TimerLineSplitter::feed(const QByteArray &)
{
    return {};
}

void TimerLineSplitter::reset()
{
    m_line.clear();
    m_dropping = false;
}
