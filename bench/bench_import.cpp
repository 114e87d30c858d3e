// Measures loading a large starter list into the window and saving it again as text.
// Usage: bench_import [lines]   (default 10000)

#include "ProtocolFiles.h"
#include "TFormMain.h"
#include "TSortGrid.h"

#include "BenchApplication.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr double kImportTargetMs = 300;
constexpr double kSaveTargetMs = 100;
} // namespace

int main(int argc, char *argv[])
{
    BenchApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;

    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("starter.txt"));
    {
        QFile f(list);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write("St.Nr\tKoNr.\tPferd/Pony\tReitername\tVerein\r\n");
        for (int i = 1; i <= lines; ++i)
            f.write(
                QStringLiteral("%1\t%2\tPferd Nummer %1\tReiterin Müller %1\tReitverein Süd %1\r\n")
                    .arg(i)
                    .arg(1000 + i)
                    .toUtf8());
    }

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
    return 0;
}
