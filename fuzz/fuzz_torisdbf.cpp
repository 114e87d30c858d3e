// Feeds arbitrary bytes to the tournament program's dBase reader. Whatever it accepts must merge
// its own starters back in, and the written file must read back with every record.
#include "TorisDbf.h"

#include <QLocale>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QLocale german(QLocale::German, QLocale::Germany);
    const QByteArrayView file(reinterpret_cast<const char *>(data), qsizetype(size));
    std::optional<TorisImport> import = readTorisDbf(file, german);
    if (!import)
        return 0;
    QList<QStringList> protocol;
    for (const TorisStarter &starter : std::as_const(import->starters))
        protocol << starter.cells;
    MergeProtocolIntoToris(import->table, protocol);
    const QByteArray written = writeTorisDbf(import->table);
    const std::optional<TorisImport> back = readTorisDbf(written, german);
    if (!back || back->table.recordCount() != import->table.recordCount())
        std::abort();
    return 0;
}
