#pragma once

#include "TorisTable.h"

#include <QObject>

class LiveState;
class ResultsProtocol;
class StarterList;
class TFormMainUi;

// Starter lists from the tournament program's dBase table, and the results written back into
// the same table. The table of the last import is kept for the whole run.
class TorisExchange : public QObject
{
    Q_OBJECT
public:
    // The export reads the protocol from the live state; the import loads through the grid and
    // the lists.
    TorisExchange(TFormMainUi &ui, LiveState &live, StarterList &starters,
                  ResultsProtocol &protocol, QObject *parent = nullptr);

    // Each returns false, after telling the operator, when nothing was loaded or written; the
    // protocol, the lists and the kept table are then as they were.
    bool ImportTorisDbf(const QString &fileName);
    bool ExportTorisDbf(const QString &fileName);

    const TorisTable &table() const { return m_table; }

private:
    void showStagingTable();

    TFormMainUi &m_ui;
    LiveState &m_live;
    StarterList &m_starters;
    ResultsProtocol &m_protocol;
    TorisTable m_table;
};
