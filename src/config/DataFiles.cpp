#include "DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QStringList dataDirectories()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    return {appDir, QDir::cleanPath(appDir + QStringLiteral("/../share/rittmeter"))};
}

QString findDataFile(const QString &fileName)
{
    for (const QString &dir : dataDirectories()) {
        const QFileInfo info(QDir(dir), fileName);
        if (info.isFile())
            return info.absoluteFilePath();
    }
    return {};
}

QString programBaseName()
{
    return QStringLiteral("rittmeter");
}
