#pragma once

#include <QString>

// Plays one WAV cue at a time; starting a cue cuts off the one still sounding. A missing or
// unplayable file stays silent.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString &path) = 0;
};

// The player the cues go to; silent until the program installs a real one.
SoundPlayer &soundPlayer();
void setSoundPlayer(SoundPlayer *player);
