#pragma once

#include <QByteArray>
#include <QString>

// Limits of what the program loads as a starter list or table: beyond them a file is refused
// before it is read, so a wrong file picked by mistake can neither freeze nor exhaust the program.
constexpr qint64 MaxImportBytes = 64 * 1024 * 1024;
constexpr int MaxImportRows = 100'000;

// Reads a whole regular file. The open never blocks (a FIFO or device picked in the dialog would
// hold the clock still), and anything but a regular file, or a file over maxBytes, is refused.
// On failure reason says why, in the operator's words.
bool readWholeFile(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &reason);

// Writes the file anew through a temporary file beside it, checking every write, the flush to
// the disk and the rename. On any failure the former file stays exactly as it was, and reason
// holds the system's text (a full disk, a file too large, no permission).
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString &reason);
