#pragma once

#include "SoundPlayer.h"

#include <QHash>
#include <memory>

class QSoundEffect;

// One loaded effect per cue file, so a cue sounds without waiting for its file to load.
class QtSoundPlayer : public SoundPlayer
{
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void play(const QString &path) override;

private:
    QHash<QString, std::shared_ptr<QSoundEffect>> m_effects;
    QSoundEffect *m_playing = nullptr;
};
