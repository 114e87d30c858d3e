#include "TorisExchange.h"

#include "LiveState.h"
#include "MessageBoxes.h"
#include "ProtocolRow.h"
#include "ResultsProtocol.h"
#include "StarterList.h"
#include "TFormMainUi.h"
#include "TSortGrid.h"
#include "TorisDbf.h"
#include "WholeFile.h"

#include <QDate>
#include <QDir>
#include <QLocale>
#include <QMainWindow>

TorisExchange::TorisExchange(TFormMainUi &ui, LiveState &live, StarterList &starters,
                             ResultsProtocol &protocol, QObject *parent)
    : QObject(parent), m_ui(ui), m_live(live), m_starters(starters), m_protocol(protocol)
{}

bool TorisExchange::ImportTorisDbf(const QString &fileName)
{
    // Read-only: a write-protected list on a stick or a share still loads.
    QByteArray bytes;
    QString reason;
    if (!readWholeFile(fileName, MaxImportBytes, bytes, reason)) {
        messageBoxes().error(m_ui.form, QStringLiteral("Error open Toris file.\n%1\n%2")
                                            .arg(QDir::toNativeSeparators(fileName), reason));
        return false;
    }
    std::optional<TorisImport> import;
    if (torisFileSize(bytes.left(TorisTable::HeaderSize)) == bytes.size())
        import = readTorisDbf(bytes, QLocale());
    if (!import) {
        messageBoxes().error(m_ui.form, QStringLiteral("Bad format Toris DBF file."));
        return false;
    }
    if (import->starters.size() > MaxImportRows) {
        messageBoxes().error(m_ui.form, QStringLiteral("Error open Toris file.\n%1\n"
                                                       "Die Datei hat mehr als %2 Datensätze.")
                                            .arg(QDir::toNativeSeparators(fileName))
                                            .arg(MaxImportRows));
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
        items << StarterItem(row);
        headNumbers << row.at(ColHeadNumber);
        rows << row;
    }
    // The rows and the lists reach the readers as one change.
    const LiveState::Batch batch(m_live);
    m_ui.SortGrid1->setDataRows(std::move(rows));
    m_starters.setStarters(items, headNumbers);
    m_protocol.UpdateProtocolButtons();
    return true;
}

bool TorisExchange::ExportTorisDbf(const QString &fileName)
{
    // Merged into a copy: the kept table changes only once the file is written.
    TorisTable merged = m_table.hasFieldTable() ? m_table : TorisTable::fresh(QDate::currentDate());
    // The entries, without the headings.
    MergeProtocolIntoToris(merged, m_live.snapshot()->protocol.mid(1));
    const QByteArray bytes = writeTorisDbf(merged);

    QString reason;
    if (!writeWholeFile(fileName, bytes, reason)) {
        messageBoxes().error(m_ui.form, QStringLiteral("Error create Toris file.\n%1\n%2")
                                            .arg(QDir::toNativeSeparators(fileName), reason));
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
