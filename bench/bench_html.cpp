// Measures the results page of a 2,000-row protocol: the page text, and the printout drawn into
// a PDF file, as Ctrl+P does once a printer is chosen.
// Usage: bench_html [PDF file to keep]

#include "HtmlReport.h"
#include "ReportPrint.h"

#include "BenchApplication.h"

#include <QElapsedTimer>
#include <QPrinter>

#include <cstdio>

namespace {
constexpr double kPageTargetMs = 50.0;
constexpr double kPdfTargetMs = 2000.0;

QList<QStringList> protocol(int rows)
{
    QList<QStringList> data{{"St.Nr", "KoNr.", "Pferd/Pony", "Reitername", "Verein", "R.-Zeit",
                             "ZF", "Straf", "Fehler", "Punkte", "Zeit", "Rang"}};
    for (int r = 1; r <= rows; ++r) {
        const QString time =
            QStringLiteral("%1,%2").arg(55 + r % 30).arg(r % 100, 2, 10, QLatin1Char('0'));
        const QString faults = QString::number(4 * (r % 3));
        data.append({QString::number(r), QString::number(100 + r),
                     QStringLiteral("Pferd %1").arg(r), QStringLiteral("Reiterin %1 & Co").arg(r),
                     QStringLiteral("Verein %1").arg(r % 97), time, "0,00", faults, faults,
                     faults + QStringLiteral(",00"), time, QString::number(r)});
    }
    return data;
}
} // namespace

int main(int argc, char **argv)
{
    BenchApplication app(argc, argv);
    const QList<QStringList> rows = protocol(2000);
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
    QElapsedTimer t;
    t.start();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(argc > 1 ? QString::fromLocal8Bit(argv[1])
                                       : dir.filePath(QStringLiteral("page.pdf")));
    const bool printed = printReport(printer, rows, texts);
    const double pdfMs = t.nsecsElapsed() / 1e6;

    const double pageMedian = median(pageMs);
    std::printf("page of 2000 rows: %.2f ms (median of 20, %lld bytes), target %.0f ms\n",
                pageMedian, static_cast<long long>(pageBytes), kPageTargetMs);
    std::printf("printout to PDF: %.0f ms, target %.0f ms%s\n", pdfMs, kPdfTargetMs,
                printed ? "" : " (FAILED)");
    const bool met = printed && pageMedian <= kPageTargetMs && pdfMs <= kPdfTargetMs;
    std::printf("%s\n", met ? "targets met" : "TARGETS MISSED");
    return met ? 0 : 1;
}
