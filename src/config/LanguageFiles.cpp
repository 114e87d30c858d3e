#include "LanguageFiles.h"

#include "DataFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

QString userLanguageFolder()
{
    // Named like the settings, whatever the running program calls itself.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Ostrel/Rittmeter");
}

QStringList languageFolders()
{
    return QStringList{userLanguageFolder()} + dataDirectories();
}

QStringList languageNames()
{
    QStringList names;
    for (const QString &folder : languageFolders())
        for (const QFileInfo &f :
             QDir(folder).entryInfoList({QStringLiteral("*.lng")}, QDir::Files | QDir::Readable))
            names << f.completeBaseName();
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

QString languageFilePath(const QString &name)
{
    // A name from the settings file must not lead out of the folders.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.startsWith(QLatin1Char('.')))
        return {};
    for (const QString &folder : languageFolders()) {
        const QFileInfo f(QDir(folder), name + QStringLiteral(".lng"));
        if (f.isFile())
            return f.absoluteFilePath();
    }
    return {};
}
