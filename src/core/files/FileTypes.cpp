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
    names.word = mimeTypeComment(
        QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document"),
        QStringLiteral("MS Word"));
    names.excel = mimeTypeComment(
        QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"),
        QStringLiteral("MS Excel"));
    // Excel opens CSV files, hence its name as the fallback.
    names.csv = mimeTypeComment(QStringLiteral("text/csv"), QStringLiteral("MS Excel"));
    return names;
}

QList<FileFilterEntry> openFilterEntries(const FileTypeNames &names)
{
    // Old ".xls" workbooks are read too.
    return {entry(FileKind::Text, names.text, QStringLiteral("*.txt")),
            entry(FileKind::TorisDbf, QStringLiteral("Toris file"), QStringLiteral("*.dbf")),
            entry(FileKind::Excel, names.excel, QStringLiteral("*.xlsx *.xls"))};
}

QList<FileFilterEntry> saveFilterEntries(const FileTypeNames &names)
{
    QList<FileFilterEntry> entries = openFilterEntries(names);
    entries.last() = entry(FileKind::Excel, names.excel, QStringLiteral("*.xlsx"));
    entries << entry(FileKind::Csv, names.csv, QStringLiteral("*.csv"))
            << entry(FileKind::Word, names.word, QStringLiteral("*.docx"))
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
