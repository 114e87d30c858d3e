// Measures loading the tournament program's dBase starter list into the window and writing the
// results back into it. Usage: bench_toris [records] [fields]   (default 20000 and 30)

#include "ProtocolFiles.h"
#include "TFormMain.h"
#include "TSortGrid.h"
#include "TorisDbf.h"
#include "TorisExchange.h"

#include "BenchApplication.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {
constexpr double kTargetMs = 300;

// The eleven result fields and further fields of the tournament program's own, 12 bytes each.
QByteArray tableFile(int records, int fields)
{
    TorisTable table;
    QStringList names;
    int recordLength = 1;
    for (int i = 0; i < fields; ++i) {
        const QByteArray name =
            i < TorisFieldCount ? QByteArray(TorisFieldNames[i]) : "EXTRA" + QByteArray::number(i);
        QByteArray descriptor(TorisTable::DescriptorSize, '\0');
        descriptor.replace(0, name.size(), name);
        descriptor[11] = 'C';
        descriptor[16] = 12;
        table.fields += descriptor;
        names << QString::fromLatin1(name);
        recordLength += 12;
    }
    table.header[10] = char(recordLength & 0xFF);
    table.header[11] = char(recordLength >> 8);
    table.rows = {names};
    for (int r = 1; r <= records; ++r) {
        QStringList row;
        for (int i = 0; i < fields; ++i) {
            switch (i) {
            case 0:
                row << QString::number(r);
                break;
            case 1:
                row << QString::number(1000 + r);
                break;
            case 2:
                row << QStringLiteral("Pferd %1").arg(r);
                break;
            case 3:
                row << QStringLiteral("Müller %1").arg(r);
                break;
            case 5:
            case 6:
                row << QStringLiteral("%1.%2").arg(50 + r % 30).arg(r % 100);
                break;
            default:
                // Half the tournament program's own fields differ per rider (numbers, dates),
                // half repeat a few values (nation, class), some left empty.
                if (i % 2 == 0)
                    row << QStringLiteral("%1-%2").arg(r).arg(i);
                else if (r % 5 != 0)
                    row << QStringLiteral("Wert %1").arg(r % 7);
                else
                    row << QString();
                break;
            }
        }
        table.rows << row;
    }
    table.deletedRecords.resize(records);
    return writeTorisDbf(table);
}

void report(const char *what, const std::vector<double> &ms)
{
    std::printf("%s: median %.1f ms, slowest %.1f ms (target <= %.0f)%s\n", what, median(ms),
                *std::max_element(ms.begin(), ms.end()), kTargetMs,
                median(ms) <= kTargetMs ? "" : "   OVER TARGET");
}
} // namespace

int main(int argc, char *argv[])
{
    BenchApplication app(argc, argv);
    const int records = argc > 1 ? std::max(1, atoi(argv[1])) : 20000;
    const int fields = argc > 2 ? std::clamp(atoi(argv[2]), TorisFieldCount, 128) : 30;

    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("starter.dbf"));
    {
        QFile f(list);
        if (!f.open(QIODevice::WriteOnly) || f.write(tableFile(records, fields)) < 0)
            return 1;
    }

    TFormMain window;
    window.show();
    QCoreApplication::processEvents();
    TorisExchange &toris = window.files().toris();
    std::vector<double> imports, exports;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        if (!toris.ImportTorisDbf(list))
            return 2;
        imports.push_back(double(t.nsecsElapsed()) / 1e6);
        if (window.ui.SortGrid1->gridRowCount() != records + 1 ||
            window.ui.cbStNr->count() != records)
            return 3;
        QCoreApplication::processEvents();
        // Every rider finds its record; the last one is entered anew.
        window.ui.SortGrid1->setCells(2, records, QStringLiteral("Nachgemeldet"));
        t.restart();
        if (!toris.ExportTorisDbf(dir.filePath(QStringLiteral("results.dbf"))))
            return 4;
        exports.push_back(double(t.nsecsElapsed()) / 1e6);
        if (toris.table().recordCount() != records + 1)
            return 5;
    }
    std::printf("%d records of %d fields (%lld bytes)\n", records, fields,
                static_cast<long long>(QFileInfo(list).size()));
    report("load into the window", imports);
    report("write the results back", exports);
    return 0;
}
