// Measures the office files of a 2,000-row protocol: the workbook written, the Word document
// written, and the workbook read back into the window as a starter list.
// Usage: bench_office

#include "FileDialogs.h"
#include "MessageBoxes.h"
#include "OfficeExports.h"
#include "ProtocolFiles.h"
#include "TFormMain.h"
#include "TSortGrid.h"
#include "WordDocument.h"
#include "WorkbookWriter.h"

#include "BenchApplication.h"
#include "BenchProtocol.h"

#include <QElapsedTimer>

#include <cstdio>

namespace {
constexpr double kTargetMs = 300.0;

template <typename F> double bestOf(int runs, F f)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return median(ms);
}
} // namespace

int main(int argc, char **argv)
{
    BenchApplication app(argc, argv);
    TFormMain window;
    window.ui.SortGrid1->setDataRows(benchProtocol(2000, false));
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("p.xlsx"));
    const QString document = dir.filePath(QStringLiteral("p.docx"));
    OfficeExports &office = window.files().office();

    bool ok = true;
    const double bookMs = bestOf(5, [&] { ok &= office.ExportExcelWorkbook(book); });
    const double documentMs = bestOf(5, [&] { ok &= office.ExportWordDocument(1, document); });
    const double readMs = bestOf(5, [&] { ok &= window.files().ImportExcelWorkbook(book); });
    ok &= window.ui.SortGrid1->gridRowCount() == 2001;

    std::printf("2000 rows, median of 5 runs, target %.0f ms each\n", kTargetMs);
    std::printf("  workbook written:        %7.1f ms (%lld bytes)\n", bookMs,
                static_cast<long long>(QFileInfo(book).size()));
    std::printf("  document written:        %7.1f ms (%lld bytes)\n", documentMs,
                static_cast<long long>(QFileInfo(document).size()));
    std::printf("  workbook read into grid: %7.1f ms\n", readMs);
    const bool met = ok && bookMs <= kTargetMs && documentMs <= kTargetMs && readMs <= kTargetMs;
    std::printf("%s\n", !ok ? "FAILED" : met ? "targets met" : "TARGETS MISSED");
    return met ? 0 : 1;
}
