#include "ReportPrint.h"

#include "ReportLayout.h"

#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

#include <algorithm>
#include <numeric>

namespace {

constexpr qreal BodyPoints = 9, SmallestPoints = 4;

QFont reportFont(qreal points, bool bold)
{
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The table's fonts and column widths.
struct Table
{
    QFont headFont, bodyFont;
    std::array<int, 9> widths{};
};

// The widest word of a name: a line may break after a blank or a hyphen.
int widestWord(const QString &text, const QFontMetrics &metrics)
{
    int widest = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != QLatin1Char(' ') && text[i] != QLatin1Char('-'))
            continue;
        widest = std::max(widest, metrics.horizontalAdvance(text.mid(start, i + 1 - start)));
        start = i + 1;
    }
    return widest;
}

// The table at the largest size, from 9 points down, at which the number columns show whole and
// the name columns need not break a word apart, unless it is longer than about 25
// characters.
Table fitTable(const QList<QStringList> &rows, QPaintDevice *device, int padding, int pageWidth)
{
    for (qreal points = BodyPoints;;) {
        Table table{reportFont(points, true), reportFont(points, false)};
        const QFontMetrics head(table.headFont, device), body(table.bodyFont, device);
        std::array<int, 9> natural{}, least{};
        for (size_t i = 0; i < 9; ++i) {
            const int column = ReportColumns[i].column;
            const int heading = head.horizontalAdvance(rows.value(0).value(column));
            int widest = heading;
            for (qsizetype r = 1; r < rows.size(); ++r)
                widest = std::max(widest,
                                  body.horizontalAdvance(reportCellText(rows.at(r).value(column))));
            natural[i] = widest + 2 * padding;
            least[i] = heading + 2 * padding;
        }
        // Words are measured only when the names have to wrap.
        const int longWord = 25 * body.averageCharWidth();
        if (std::accumulate(natural.begin(), natural.end(), 0) > pageWidth) {
            for (size_t i = 0; i < 9; ++i) {
                if (ReportColumns[i].right)
                    continue;
                int word = 0;
                for (qsizetype r = 1; r < rows.size() && word < longWord; ++r)
                    word =
                        std::max(word, widestWord(rows.at(r).value(ReportColumns[i].column), body));
                least[i] = std::max(least[i], std::min(word, longWord) + 2 * padding);
            }
        }
        if (const auto widths = reportColumnWidths(natural, least, pageWidth)) {
            table.widths = *widths;
            return table;
        }
        if (points <= SmallestPoints) {
            // Only headings far longer than any language gives them end here: they are clipped.
            const int total = std::max(1, std::accumulate(natural.begin(), natural.end(), 0));
            for (size_t i = 0; i < 9; ++i)
                table.widths[i] = int(qint64(natural[i]) * pageWidth / total);
            return table;
        }
        int needed = 0;
        for (size_t i = 0; i < 9; ++i)
            needed += ReportColumns[i].right ? natural[i] : std::min(least[i], natural[i]);
        points = std::max(SmallestPoints, std::min(points - 0.25, points * pageWidth / needed));
    }
}

// A name broken into lines no wider than width: at word boundaries, inside a word only where
// the word alone is wider.
QStringList wrappedLines(const QString &text, const QFont &font, const QFontMetrics &metrics,
                         QPaintDevice *device, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return {text};
    QTextLayout layout(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

// One row of the table, its cells broken into lines.
struct TableRow
{
    std::array<QStringList, 9> lines;
    int height = 0;
};

} // namespace

bool printReport(QPrinter &printer, const QList<QStringList> &rows, const HtmlReportTexts &texts)
{
    QPainter p;
    if (!p.begin(&printer))
        return false;
    const QRect page(QPoint(0, 0),
                     printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const qreal mm = printer.resolution() / 25.4;
    const int padding = int(1.5 * mm);
    const QFont titleFont = reportFont(18, true), lineFont = reportFont(11, true);
    const Table table = fitTable(rows, &printer, padding, page.width());
    const QFontMetrics headMetrics(table.headFont, &printer), bodyMetrics(table.bodyFont, &printer);

    int y = 0;
    auto textLine = [&](const QFont &font, const QColor &color, const QString &text) {
        p.setFont(font);
        p.setPen(color);
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        const QRect bounds =
            QFontMetrics(font, &printer)
                .boundingRect(QRect(0, 0, page.width(), page.height()), flags, text);
        p.drawText(QRect(0, y, page.width(), bounds.height()), flags, text);
        y += bounds.height() + padding;
    };
    textLine(titleFont, QColor(0xA3, 0x7E, 0x4E), texts.title);
    for (const QString &line : {texts.line1, texts.line2})
        if (!line.isEmpty())
            textLine(lineFont, Qt::black, line);
    y += padding;

    auto tableRow = [&](const QStringList &cells, bool heading) {
        TableRow row;
        qsizetype lines = 1;
        for (size_t i = 0; i < 9; ++i) {
            const QString raw = cells.value(ReportColumns[i].column);
            const int width = table.widths[i] - 2 * padding;
            if (heading)
                row.lines[i] = QStringList{raw};
            else if (ReportColumns[i].right)
                row.lines[i] = QStringList{reportCellText(raw)};
            else
                row.lines[i] = wrappedLines(raw, table.bodyFont, bodyMetrics, &printer, width);
            lines = std::max(lines, row.lines[i].size());
        }
        const QFontMetrics &metrics = heading ? headMetrics : bodyMetrics;
        row.height = metrics.height() + int(lines - 1) * metrics.lineSpacing() + padding;
        return row;
    };

    const QPen border(QColor(0xB0, 0xB0, 0xB0), std::max(1.0, 0.2 * mm));
    auto drawRow = [&](const TableRow &row, bool heading) {
        const QFontMetrics &metrics = heading ? headMetrics : bodyMetrics;
        p.setFont(heading ? table.headFont : table.bodyFont);
        int x = 0;
        for (size_t i = 0; i < 9; ++i) {
            const QRect cell(x, y, table.widths[i], row.height);
            if (heading)
                p.fillRect(cell, QColor(0xB0, 0xA7, 0x86));
            p.setPen(border);
            p.drawRect(cell);
            p.setPen(Qt::black);
            // Drawn at a point: a rectangle with alignment lays every text out once more.
            int baseline = y + padding / 2 + metrics.ascent();
            for (const QString &line : row.lines[i]) {
                const int left = ReportColumns[i].right
                                     ? x + cell.width() - padding - metrics.horizontalAdvance(line)
                                     : x + padding;
                p.drawText(QPoint(left, baseline), line);
                baseline += metrics.lineSpacing();
            }
            x += table.widths[i];
        }
        y += row.height;
    };

    const TableRow headings = tableRow(rows.value(0), true);
    drawRow(headings, true);
    bool pageHasRows = false;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const TableRow row = tableRow(rows.at(r), false);
        // A row taller than a page stands on a page of its own rather than pushing pages forever.
        if (pageHasRows && y + row.height > page.height()) {
            if (!printer.newPage())
                return false;
            y = 0;
            drawRow(headings, true);
        }
        drawRow(row, false);
        pageHasRows = true;
    }
    y += padding;
    const int footer = QFontMetrics(lineFont, &printer).height();
    if (y + footer > page.height() && printer.newPage())
        y = 0;
    p.setFont(lineFont);
    p.setPen(Qt::black);
    p.drawText(QRect(0, y, page.width(), footer), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Rittmeter"));
    return p.end();
}
