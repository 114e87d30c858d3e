#include "Scoreboard.h"

#include <QThread>

Scoreboard::Scoreboard(const LiveState &state, QObject *parent) : QObject(parent), m_state(state) {}

Scoreboard::~Scoreboard() = default;

void Scoreboard::open(const QString &path, BoardShows, bool, int)
{
    m_path = path;
}

void Scoreboard::close()
{
    m_path.clear();
}
