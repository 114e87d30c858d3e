#include "QtSoundPlayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::play(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
    // Created on first use, so a machine without audio pays nothing until a cue sounds.
    if (!m_effect)
        m_effect = std::make_unique<QSoundEffect>();
    m_effect->stop();
    const QUrl url = QUrl::fromLocalFile(path);
    if (m_effect->source() != url)
        m_effect->setSource(url);
    m_effect->play();
}

namespace {
SoundPlayer *g_player = nullptr;
std::unique_ptr<QtSoundPlayer> g_defaultPlayer;
} // namespace

SoundPlayer &soundPlayer()
{
    if (g_player)
        return *g_player;
    if (!g_defaultPlayer)
        g_defaultPlayer = std::make_unique<QtSoundPlayer>();
    return *g_defaultPlayer;
}

void setSoundPlayer(SoundPlayer *player)
{
    g_player = player;
}
