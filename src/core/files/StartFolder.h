#pragma once

#include <QString>

// Where the open and save dialogs start before the operator has chosen a folder: the program's
// folder, where lists were always kept, when files can be written there; otherwise (an installed
// program in /usr/bin) the user's documents, made if missing, or else the home folder.
QString dialogStartFolder(const QString &programFolder, const QString &documentsFolder);
