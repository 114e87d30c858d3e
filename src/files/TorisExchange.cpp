#include "TorisExchange.h"

#include "MessageBoxes.h"
#include "ProtocolRow.h"
#include "ResultsProtocol.h"
#include "StarterList.h"
#include "TFormMainUi.h"
#include "TSortGrid.h"
#include "TorisDbf.h"

#include <QDate>
#include <QFile>
#include <QLocale>
#include <QMainWindow>
#include <QSaveFile>

TorisExchange::TorisExchange(TFormMainUi &ui, StarterList &starters, ResultsProtocol &protocol,
                             QObject *parent)
    : QObject(parent), m_ui(ui), m_starters(starters), m_protocol(protocol)
{}

bool TorisExchange::ImportTorisDbf(const QString &fileName)
{
    // Read-only: a write-protected list on a stick or a share still loads.
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        messageBoxes().error(m_ui.form, QStringLiteral("Error open Toris file."));
        return false;
    }
    // The size is checked before the whole file is read, so a stray large file is not.
    std::optional<TorisImport> import;
    if (torisFileSize(file.peek(TorisTable::HeaderSize)) == file.size())
        import = readTorisDbf(file.readAll(), QLocale());
    if (!import || file.error() != QFileDevice::NoError) {
        messageBoxes().error(m_ui.form, QStringLiteral("Bad format Toris DBF file."));
        return false;
    }

    m_table = std::move(import->table);
    showStagingTable();

    // Cells the file does not feed start empty: results of the former list belong to other
    // riders.
    QList<QStringList> rows;
    QStringList items;
    QStringList headNumbers;
    rows.reserve(import->starters.size());
    items.reserve(import->starters.size());
    headNumbers.reserve(import->starters.size());
    for (TorisStarter &starter : import->starters) {
        QStringList row = std::move(starter.cells);
        row.resize(ProtocolColumnCount);
        QString item;
        for (int c = ColStartNumber; c <= ColClub; ++c)
            item += row.at(c) + u'\t';
        items << item;
        headNumbers << row.at(ColHeadNumber);
        rows << row;
    }
    m_ui.SortGrid1->setDataRows(rows);
    m_starters.setStarters(items, headNumbers);
    m_protocol.UpdateProtocolButtons();
    return true;
}

bool TorisExchange::ExportTorisDbf(const QString &fileName)
{
    // Merged into a copy: the kept table changes only once the file is written.
    TorisTable merged = m_table.hasFieldTable() ? m_table : TorisTable::fresh(QDate::currentDate());
    QList<QStringList> protocol;
    const TSortGrid *grid = m_ui.SortGrid1;
    protocol.reserve(grid->gridRowCount() - 1);
    for (int r = 1; r < grid->gridRowCount(); ++r)
        protocol << grid->rowTexts(r);
    MergeProtocolIntoToris(merged, protocol);
    const QByteArray bytes = writeTorisDbf(merged);

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        messageBoxes().error(m_ui.form, QStringLiteral("Error create Toris file."));
        return false;
    }
    m_table = std::move(merged);
    showStagingTable();
    return true;
}

void TorisExchange::showStagingTable()
{
    TSortGrid *staging = m_ui.SortGridToris;
    const QStringList &names = m_table.rows.constFirst();
    staging->setColCount(int(names.size()));
    for (int c = 0; c < names.size(); ++c)
        staging->setCells(c, 0, names.at(c));
    staging->setDataRows(m_table.rows.mid(1));
}
