#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the file dialogs call each kind of file.
struct FileTypeNames
{
    QString text, web, word, excel, csv;
};

// The shared MIME database's names in the desktop's language; the German names where a type is
// unknown there.
FileTypeNames fileTypeNames();

// The MIME database's comment for mimeName, or fallback when the type is unknown or unnamed.
QString mimeTypeComment(const QString &mimeName, const QString &fallback);

enum class FileKind
{
    Text,
    TorisDbf,
    Excel,
    Csv,
    Word,
    Html
};

struct FileFilterEntry
{
    FileKind kind = FileKind::Text;
    QString label;   // "Textdatei (*.txt)"
    QString pattern; // "*.txt"
};

// Text, Toris and workbook; the settings keep the chosen entry's number, counted from 1.
QList<FileFilterEntry> openFilterEntries(const FileTypeNames &names);
// The open entries (the workbook one for ".xlsx" alone), then CSV, Word and web page.
QList<FileFilterEntry> saveFilterEntries(const FileTypeNames &names);

// The dialogs' filters, one label with its pattern per entry.
QStringList filterLabels(const QList<FileFilterEntry> &entries);

// entryNumber counts from 1; a number the list does not hold (a stale setting) means Text.
FileKind kindOfEntry(const QList<FileFilterEntry> &entries, int entryNumber);
