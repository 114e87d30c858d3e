#include "ClipboardText.h"

namespace {
QString clipboardCell(const QString &cell)
{
    static const QString special = QStringLiteral(";\"\t\r\n");
    for (const QChar c : cell)
        if (special.contains(c)) {
            QString quoted = cell;
            quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            return QLatin1Char('"') + quoted + QLatin1Char('"');
        }
    return cell;
}
} // namespace

QString clipboardText(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                text += QLatin1Char('\t');
            text += clipboardCell(row.at(c));
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}
