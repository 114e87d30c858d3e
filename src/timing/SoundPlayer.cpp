#include "SoundPlayer.h"

namespace {
class SilentPlayer : public SoundPlayer
{
public:
    void play(const QString &) override {}
};

SilentPlayer g_silent;
SoundPlayer *g_player = &g_silent;
} // namespace

SoundPlayer &soundPlayer() { return *g_player; }

void setSoundPlayer(SoundPlayer *player) { g_player = player ? player : &g_silent; }
