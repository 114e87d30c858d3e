#pragma once

#include <QString>
#include <QStringList>

// The folders the program's own files (sound cues, title picture, help) are looked up in: the
// program's folder first, then the installed data folder.
QStringList dataDirectories();

// The first existing file of that name in dataDirectories(), or an empty string.
QString findDataFile(const QString &fileName);

// The name the program's companion files are named after ("rittmeter").
QString programBaseName();
