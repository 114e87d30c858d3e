#include "Settings.h"

#include "DataFiles.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString defaultSound(const QString &fileName)
{
    const QString found = findDataFile(fileName);
    // Kept as a path even when missing, so the cue stays named and plays silently.
    return found.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath(fileName)
                           : found;
}
} // namespace

void applyDefaultSoundFiles(TSettings &settings)
{
    settings.Sound0 = defaultSound(QStringLiteral("1x_Timer_HF.wav"));
    settings.Sound1 = defaultSound(QStringLiteral("2x_00_00_EL.wav"));
}
