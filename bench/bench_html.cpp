// Measures the results page of a 2,000-row protocol: the page text, and the printout drawn into
// a PDF file, as Ctrl+P does once a printer is chosen.
// Usage: bench_html [PDF file to keep [long-names PDF file to keep]]

#include "HtmlReport.h"
#include "ReportPrint.h"

#include "BenchApplication.h"
#include "BenchProtocol.h"

#include <QElapsedTimer>
#include <QPrinter>

#include <cstdio>

namespace {
constexpr double kPageTargetMs = 50.0;
constexpr double kPdfTargetMs = 2000.0;
} // namespace

int main(int argc, char **argv)
{
    BenchApplication app(argc, argv);
    const QList<QStringList> rows = benchProtocol(2000, true);
    const HtmlReportTexts texts{QStringLiteral("Zeitenprotokoll"), QStringLiteral("Großer Preis"),
                                QStringLiteral("Springprüfung Kl. M*")};

    std::vector<double> pageMs;
    qsizetype pageBytes = 0;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer t;
        t.start();
        pageBytes = htmlReport(rows, texts).size();
        pageMs.push_back(t.nsecsElapsed() / 1e6);
    }

    QTemporaryDir dir;
    auto print = [&](const QList<QStringList> &list, const QString &fileName, bool &printed) {
        QElapsedTimer t;
        t.start();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(fileName);
        printed = printReport(printer, list, texts);
        return t.nsecsElapsed() / 1e6;
    };
    bool printed = false, longPrinted = false;
    const double pdfMs = print(
        rows, argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.filePath(QStringLiteral("page.pdf")),
        printed);
    // Names as long as a real list has them wrap in their columns.
    QList<QStringList> longRows = rows;
    for (qsizetype r = 1; r < longRows.size(); ++r) {
        longRows[r][2] = QStringLiteral("Quintessenz van de Helle Hoeve Z %1").arg(r);
        longRows[r][3] = QStringLiteral("Anna-Katharina Müller-Lüdenscheidt %1").arg(r);
        longRows[r][4] = QStringLiteral("Reit- und Fahrverein Großostheim e.V. %1").arg(r % 97);
    }
    const double longMs = print(
        longRows,
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("long.pdf")),
        longPrinted);

    const double pageMedian = median(pageMs);
    std::printf("page of 2000 rows: %.2f ms (median of 20, %lld bytes), target %.0f ms\n",
                pageMedian, static_cast<long long>(pageBytes), kPageTargetMs);
    std::printf("printout to PDF: %.0f ms, target %.0f ms%s\n", pdfMs, kPdfTargetMs,
                printed ? "" : " (FAILED)");
    std::printf("printout with long names to PDF: %.0f ms, target %.0f ms%s\n", longMs,
                kPdfTargetMs, longPrinted ? "" : " (FAILED)");
    const bool met = printed && longPrinted && pageMedian <= kPageTargetMs &&
                     pdfMs <= kPdfTargetMs && longMs <= kPdfTargetMs;
    std::printf("%s\n", met ? "targets met" : "TARGETS MISSED");
    return met ? 0 : 1;
}
