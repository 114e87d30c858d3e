#include "TextProtocol.h"

namespace {
const QString Tab = QStringLiteral("\t");
const QString Semicolon = QStringLiteral(";");
const QByteArray LineEnd("\r\n");

bool isBlanks(const QString &field)
{
    for (const QChar c : field) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}
} // namespace

QStringList splitTextLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

QStringList splitImportLine(const QString &line, int columns)
{
    if (line.isEmpty() || columns <= 0)
        return {};
    const QString &separator = line.contains(Tab) ? Tab : Semicolon;
    QString body = line;
    if (body.endsWith(separator))
        body.chop(1);
    QStringList fields = body.split(separator);
    if (fields.size() > columns)
        fields.resize(columns);
    for (QString &field : fields) {
        if (isBlanks(field))
            field.clear();
    }
    return fields;
}

ProtocolRows parseTextList(const QString &text, int columns)
{
    QStringList lines = splitTextLines(text);
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    ProtocolRows rows;
    rows.reserve(lines.size());
    for (const QString &line : std::as_const(lines))
        rows << splitImportLine(line, columns);
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
