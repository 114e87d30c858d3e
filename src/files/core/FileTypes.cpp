#include "FileTypes.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <QStringList>

namespace {
FileFilterEntry entry(FileKind kind, const QString &name, const QString &pattern)
{
    return {kind, name + QStringLiteral(" (") + pattern + QLatin1Char(')'), pattern};
}
} // namespace

QString mimeTypeComment(const QString &mimeName, const QString &fallback)
{
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeName);
    const QString comment = type.isValid() ? type.comment() : QString();
    return comment.isEmpty() ? fallback : comment;
}

FileTypeNames fileTypeNames()
{
    FileTypeNames names;
    names.text = mimeTypeComment(QStringLiteral("text/plain"), QStringLiteral("Textdatei"));
    names.web = mimeTypeComment(QStringLiteral("text/html"), QStringLiteral("Webseite"));
    names.word = mimeTypeComment(QStringLiteral("application/msword"), QStringLiteral("MS Word"));
    names.excel =
        mimeTypeComment(QStringLiteral("application/vnd.ms-excel"), QStringLiteral("MS Excel"));
    // Excel opens CSV files, hence its name as the fallback.
    names.csv = mimeTypeComment(QStringLiteral("text/csv"), QStringLiteral("MS Excel"));
    return names;
}

QList<FileFilterEntry> openFilterEntries(const FileTypeNames &names, bool workbooks)
{
    QList<FileFilterEntry> entries{
        entry(FileKind::Text, names.text, QStringLiteral("*.txt")),
        entry(FileKind::TorisDbf, QStringLiteral("Toris file"), QStringLiteral("*.dbf"))};
    if (workbooks)
        entries << entry(FileKind::Excel, names.excel, QStringLiteral("*.xls"));
    return entries;
}

QList<FileFilterEntry> saveFilterEntries(const FileTypeNames &names, bool workbooks)
{
    QList<FileFilterEntry> entries = openFilterEntries(names, workbooks);
    entries << entry(FileKind::Csv, names.csv, QStringLiteral("*.csv"))
            << entry(FileKind::Word, names.word, QStringLiteral("*.doc"))
            << entry(FileKind::Html, names.web, QStringLiteral("*.html"));
    return entries;
}

QStringList filterLabels(const QList<FileFilterEntry> &entries)
{
    QStringList labels;
    labels.reserve(entries.size());
    for (const FileFilterEntry &e : entries)
        labels << e.label;
    return labels;
}

FileKind kindOfEntry(const QList<FileFilterEntry> &entries, int entryNumber)
{
    if (entryNumber < 1 || entryNumber > entries.size())
        return FileKind::Text;
    return entries.at(entryNumber - 1).kind;
}
