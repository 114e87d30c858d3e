#include "TextProtocol.h"

namespace {
const QString Tab = QStringLiteral("\t");
const QString Semicolon = QStringLiteral(";");
const QByteArray LineEnd("\r\n");

bool isBlanks(QStringView field)
{
    for (const QChar c : field) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

QStringList splitLine(QStringView line, int columns)
{
    if (line.isEmpty() || columns <= 0)
        return {};
    const QChar separator = line.contains(u'\t') ? u'\t' : u';';
    if (line.endsWith(separator))
        line.chop(1);
    QStringList fields;
    for (QStringView field : line.tokenize(separator)) {
        if (fields.size() == columns)
            break;
        fields << (isBlanks(field) ? QString() : field.toString());
    }
    if (fields.isEmpty()) // the line was a separator alone
        fields << QString();
    return fields;
}
} // namespace

QStringList splitImportLine(const QString &line, int columns)
{
    return splitLine(line, columns);
}

ProtocolRows parseTextList(const QString &text, int columns)
{
    // Line by line over the text itself: a large list is not held a second time as lines.
    ProtocolRows rows;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        rows << splitLine(QStringView(text).mid(start, i - start), columns);
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        rows << splitLine(QStringView(text).mid(start), columns);
    while (!rows.isEmpty() && rows.constLast().isEmpty())
        rows.removeLast();
    return rows;
}

QByteArray writeTextProtocol(const ProtocolRows &rows)
{
    QByteArray out;
    for (const QStringList &row : rows) {
        for (QString cell : row) {
            // A tab would split the cell on reading, a line break the row.
            cell.replace(QLatin1Char('\t'), QLatin1Char(' '))
                .replace(QLatin1Char('\r'), QLatin1Char(' '))
                .replace(QLatin1Char('\n'), QLatin1Char(' '));
            out += cell.isEmpty() ? QByteArray(" ") : cell.toUtf8();
            out += '\t';
        }
        out += LineEnd;
    }
    return out;
}

QByteArray writeCsv(const ProtocolRows &rows)
{
    QByteArray out("\xEF\xBB\xBF");
    for (const QStringList &row : rows) {
        QStringList cells;
        cells.reserve(row.size());
        for (const QString &cell : row) {
            if (cell.contains(QLatin1Char(';')) || cell.contains(QLatin1Char('"')) ||
                cell.contains(QLatin1Char('\r')) || cell.contains(QLatin1Char('\n'))) {
                QString quoted = cell;
                quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
                cells << QLatin1Char('"') + quoted + QLatin1Char('"');
            } else {
                cells << cell;
            }
        }
        out += cells.join(Semicolon).toUtf8();
        out += LineEnd;
    }
    return out;
}

QString DefaultExportName(const QDateTime &now)
{
    return now.toLocalTime().toString(QStringLiteral("yyyy-MM-dd-hh-mm"));
}
