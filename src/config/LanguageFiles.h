#pragma once

#include <QString>
#include <QStringList>

// Language files ("NAME.lng") live in the user's own folder, where a language can be added
// without root rights, and in the program's data folders. One in the user's folder wins.
QString userLanguageFolder(); // ~/.local/share/Ostrel/Rittmeter
QStringList languageFolders();

// The names of the language files found, sorted, each once.
QStringList languageNames();

// The file of a language name; empty when there is none, or the name is no plain file name.
QString languageFilePath(const QString &name);

// The largest language file read; 200 lines of text are far less.
inline constexpr qint64 MaxLanguageFileBytes = 1 << 20;
