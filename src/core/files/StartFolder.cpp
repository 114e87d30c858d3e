#include "StartFolder.h"

#include <QDir>
#include <QFileInfo>

QString dialogStartFolder(const QString &programFolder, const QString &documentsFolder)
{
    if (const QFileInfo program(programFolder); program.isDir() && program.isWritable())
        return programFolder;
    // A dialog sent to a missing folder would start wherever the program was started from.
    if (!documentsFolder.isEmpty() && QDir().mkpath(documentsFolder))
        return documentsFolder;
    return QDir::homePath();
}
