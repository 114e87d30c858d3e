#pragma once

#include "TorisTable.h"

#include <QObject>

class ResultsProtocol;
class StarterList;
class TFormMainUi;

// Starter lists from the tournament program's dBase table, and the results written back into
// the same table. The table of the last import is kept for the whole run.
class TorisExchange : public QObject
{
    Q_OBJECT
public:
    TorisExchange(TFormMainUi &ui, StarterList &starters, ResultsProtocol &protocol,
                  QObject *parent = nullptr);

    // Each returns false, after telling the operator, when nothing was loaded or written; the
    // protocol, the lists and the kept table are then as they were.
    bool ImportTorisDbf(const QString &fileName);
    bool ExportTorisDbf(const QString &fileName);

    const TorisTable &table() const { return m_table; }

private:
    void showStagingTable();

    TFormMainUi &m_ui;
    StarterList &m_starters;
    ResultsProtocol &m_protocol;
    TorisTable m_table;
};
