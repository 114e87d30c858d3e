// Measures loading a large starter list into the window and saving it again as text; then the
// largest list the program accepts (time and peak memory against the file's size), and how fast
// a list over the limit is refused.
// Usage: bench_import [lines]   (default 10000)

#include "ProtocolFiles.h"
#include "TFormMain.h"
#include "TSortGrid.h"

#include "BenchApplication.h"
#include "MessageBoxes.h"
#include "WholeFile.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {
constexpr double kImportTargetMs = 300;
constexpr double kSaveTargetMs = 100;

// The refusal of the over-long list is expected; nothing may wait for a click.
class CountingBoxes : public MessageBoxes
{
public:
    void error(QWidget *, const QString &) override { ++errors; }
    int errors = 0;
};

bool writeList(const QString &path, int lines)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("St.Nr\tKoNr.\tPferd/Pony\tReitername\tVerein\r\n");
    for (int i = 1; i <= lines; ++i)
        f.write(QStringLiteral("%1\t%2\tPferd Nummer %1\tReiterin Müller %1\tReitverein Süd %1\r\n")
                    .arg(i)
                    .arg(1000 + i)
                    .toUtf8());
    return true;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}
} // namespace

int main(int argc, char *argv[])
{
    BenchApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;

    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("starter.txt"));
    if (!writeList(list, lines))
        return 1;

    TFormMain window;
    window.show();
    QCoreApplication::processEvents();
    std::vector<double> imports, saves;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        window.files().ImportTextList(list);
        imports.push_back(double(t.nsecsElapsed()) / 1e6);
        if (window.ui.SortGrid1->gridRowCount() != lines + 1 ||
            window.ui.cbStNr->count() != lines || window.ui.cbKNr->count() != lines ||
            window.ui.Reiter->text().isEmpty())
            return 2;
        QCoreApplication::processEvents(); // the grid paints between the rounds
        t.restart();
        window.files().ExportTextList(dir.filePath(QStringLiteral("saved.txt")));
        saves.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("%d starters: load median %.1f ms, slowest %.1f ms (target <= %.0f)%s\n", lines,
                median(imports), *std::max_element(imports.begin(), imports.end()), kImportTargetMs,
                median(imports) <= kImportTargetMs ? "" : "   OVER TARGET");
    std::printf("save as text: median %.1f ms, slowest %.1f ms (target <= %.0f)%s\n", median(saves),
                *std::max_element(saves.begin(), saves.end()), kSaveTargetMs,
                median(saves) <= kSaveTargetMs ? "" : "   OVER TARGET");

    // The largest list accepted, in a window of its own so the rounds above do not count.
    const QString largest = dir.filePath(QStringLiteral("largest.txt"));
    const QString tooLong = dir.filePath(QStringLiteral("toolong.txt"));
    if (!writeList(largest, MaxImportRows - 1) || !writeList(tooLong, MaxImportRows * 5))
        return 1;
    CountingBoxes boxes;
    setMessageBoxes(&boxes);
    {
        TFormMain big;
        QCoreApplication::processEvents();
        const double before = peakMegabytes();
        QElapsedTimer t;
        t.start();
        if (!big.files().ImportTextList(largest))
            return 3;
        const double ms = double(t.nsecsElapsed()) / 1e6;
        std::printf("%d starters (%.1f MB): load %.0f ms, peak memory +%.0f MB\n",
                    MaxImportRows - 1, double(QFileInfo(largest).size()) / 1e6, ms,
                    peakMegabytes() - before);
        t.restart();
        if (big.files().ImportTextList(tooLong) || boxes.errors != 1)
            return 4;
        std::printf("%d lines (%.1f MB) refused in %.0f ms\n", MaxImportRows * 5,
                    double(QFileInfo(tooLong).size()) / 1e6, double(t.nsecsElapsed()) / 1e6);
    }
    setMessageBoxes(nullptr);
    return 0;
}
