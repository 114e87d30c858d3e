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
    if (m_playing)
        m_playing->stop();
    std::shared_ptr<QSoundEffect> &effect = m_effects[path];
    if (!effect) {
        effect = std::make_shared<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(path));
    }
    m_playing = effect.get();
    m_playing->play(); // waits for the file to load the first time, then sounds
}

