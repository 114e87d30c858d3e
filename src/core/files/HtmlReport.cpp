#include "HtmlReport.h"

namespace {
const char *const Head =
    "<html><head><title>Rittmeter</title>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
    "<style type=\"text/css\">\r\n"
    "<!--\r\n"
    "body {font-family:Verdana, sans-serif;\r\n"
    "scrollbar-track-color:#F9F9E6;\r\n"
    "scrollbar-face-color:#B0A786}\r\n"
    "table {font-size:10pt}\r\n"
    "th, td {text-align:left; vertical-align:top}\r\n"
    "%1 {text-align:right; white-space:nowrap}\r\n"
    "a:hover{text-decoration:none; background-color:#E2E6CB}\r\n"
    "-->\r\n"
    "</style></head>\r\n"
    "<body bgcolor=#F9F9E6>\r\n"
    "<div style=\"width:100%; color:#A37E4E; filter:Glow(color=0, strength=6)\">\r\n";

const char *const TableStart =
    "</b><br><table style=\"BORDER-COLLAPSE: collapse\" bgcolor=#FFFFFF borderColor=#E0E0E0 "
    "border=1 cellpadding=4 width=649>\r\n"
    "<colgroup valign=top> <col align=right> <col> <col> <col align=right> <col> "
    "<col align=right> <col align=right> <col align=right> <col align=right></colgroup>\r\n"
    "<thead bgcolor=#B0A786><tr>\r\n";

const char *const Tail = "</table>\r\n"
                         "<FONT face=Arial size=4><B><p align=right>Rittmeter</p>\r\n"
                         "</body></html>\r\n";

// Browsers ignore the colgroup's alignment, so a style rule repeats it for every right-aligned
// column.
QString pageHead()
{
    QStringList right;
    for (int position = 1; position <= 9; ++position)
        if (ReportColumns[position - 1].right)
            right << QStringLiteral("th:nth-child(%1), td:nth-child(%1)").arg(position);
    return QString::fromLatin1(Head).arg(right.join(QStringLiteral(", ")));
}
} // namespace

QString htmlEscaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString reportCellText(const QString &cell)
{
    QString text = cell;
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma >= 0)
        text[comma] = QLatin1Char('.');
    return text;
}

QString htmlCell(const QString &cell)
{
    return cell.isEmpty() ? QStringLiteral("&nbsp;") : htmlEscaped(reportCellText(cell));
}

QByteArray htmlReport(const QList<QStringList> &rows, const HtmlReportTexts &texts)
{
    static const QString head = pageHead();
    QString page = head;
    page.reserve(page.size() + rows.size() * 120);
    page +=
        QStringLiteral("<h1>") + htmlEscaped(texts.title) + QStringLiteral("</h1>\r\n</div><b>");
    for (const QString &line : {texts.line1, texts.line2})
        if (!line.isEmpty())
            page += htmlEscaped(line) + QStringLiteral("<br>\r\n");
    page += QLatin1String(TableStart);
    const QStringList headings = rows.value(0);
    for (int position = 0; position < 9; ++position)
        page += QLatin1String(position == 1 ? "<th nowrap>" : "<th>") +
                htmlEscaped(headings.value(ReportColumns[position].column)) +
                QStringLiteral("</th>\r\n");
    page += QStringLiteral("</tr></thead>\r\n");
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QStringList &row = rows.at(r);
        page += QLatin1String("<tr>");
        for (const ReportColumn &c : ReportColumns)
            page += QLatin1String("<td>") + htmlCell(row.value(c.column));
        page += QLatin1String("</tr>\r\n");
    }
    page += QLatin1String(Tail);
    return page.toUtf8();
}
