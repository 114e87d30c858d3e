#include "ReportPrint.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <array>
#include <numeric>

namespace {

QFont reportFont(qreal points, bool bold)
{
    QFont font(QStringLiteral("Verdana"), 10);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The columns' widths: as wide as their widest text, then all scaled to the page's width.
std::array<int, 9> columnWidths(const QList<QStringList> &rows, const QFontMetrics &head,
                                const QFontMetrics &body, int padding, int pageWidth)
{
    std::array<int, 9> widths{};
    for (int i = 0; i < 9; ++i) {
        const int column = ReportColumns[i].column;
        int widest = head.horizontalAdvance(rows.value(0).value(column));
        for (qsizetype r = 1; r < rows.size(); ++r)
            widest =
                std::max(widest, body.horizontalAdvance(reportCellText(rows.at(r).value(column))));
        widths[size_t(i)] = widest + 2 * padding;
    }
    const qreal total = std::max(1, std::accumulate(widths.begin(), widths.end(), 0));
    for (int &w : widths)
        w = int(w * pageWidth / total);
    return widths;
}

} // namespace

bool printReport(QPrinter &printer, const QList<QStringList> &rows, const HtmlReportTexts &texts)
{
    QPainter p;
    if (!p.begin(&printer))
        return false;
    const QRect page(QPoint(0, 0),
                     printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const qreal mm = printer.resolution() / 25.4;
    const QFont titleFont = reportFont(18, true), lineFont = reportFont(11, true);
    const QFont headFont = reportFont(9, true), bodyFont = reportFont(9, false);
    const QFontMetrics headMetrics(headFont, &printer), bodyMetrics(bodyFont, &printer);
    const int padding = int(1.5 * mm);
    const int rowHeight = bodyMetrics.height() + padding;
    const std::array<int, 9> widths =
        columnWidths(rows, headMetrics, bodyMetrics, padding, page.width());

    int y = 0;
    auto textLine = [&](const QFont &font, const QColor &color, const QString &text) {
        p.setFont(font);
        p.setPen(color);
        const int height = QFontMetrics(font, &printer).height();
        p.drawText(QRect(0, y, page.width(), height), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += height + padding;
    };
    textLine(titleFont, QColor(0xA3, 0x7E, 0x4E), texts.title);
    for (const QString &line : {texts.line1, texts.line2})
        if (!line.isEmpty())
            textLine(lineFont, Qt::black, line);
    y += padding;

    const QPen border(QColor(0xB0, 0xB0, 0xB0), std::max(1.0, 0.2 * mm));
    auto drawRow = [&](const QStringList &cells, bool heading) {
        int x = 0;
        p.setFont(heading ? headFont : bodyFont);
        const QFontMetrics &metrics = heading ? headMetrics : bodyMetrics;
        for (int i = 0; i < 9; ++i) {
            const QRect cell(x, y, widths[size_t(i)], rowHeight);
            if (heading)
                p.fillRect(cell, QColor(0xB0, 0xA7, 0x86));
            p.setPen(border);
            p.drawRect(cell);
            const QString raw = cells.value(ReportColumns[i].column);
            const QString text = heading ? raw : reportCellText(raw);
            p.setPen(Qt::black);
            p.drawText(cell.adjusted(padding, 0, -padding, 0),
                       (ReportColumns[i].right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                       metrics.elidedText(text, Qt::ElideRight, cell.width() - 2 * padding));
            x += widths[size_t(i)];
        }
        y += rowHeight;
    };

    drawRow(rows.value(0), true);
    for (qsizetype r = 1; r < rows.size(); ++r) {
        if (y + rowHeight > page.height()) {
            if (!printer.newPage())
                return false;
            y = 0;
            drawRow(rows.value(0), true);
        }
        drawRow(rows.at(r), false);
    }
    y += padding;
    if (y + rowHeight > page.height() && printer.newPage())
        y = 0;
    p.setFont(lineFont);
    p.setPen(Qt::black);
    p.drawText(QRect(0, y, page.width(), rowHeight), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Rittmeter"));
    return p.end();
}
