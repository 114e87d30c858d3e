#pragma once

#include "TSortGrid.h"

#include <QObject>

class LiveState;
class TFormMainUi;

// How the protocol grid orders, ranks, colours and edits the results. Every change of its rows,
// an edit by the operator too, reaches the live state.
class ProtocolGrid : public QObject
{
    Q_OBJECT
public:
    ProtocolGrid(TFormMainUi &ui, LiveState &live, QObject *parent = nullptr);

    // The heading row from a file or a kept session: its cells past the protocol's are dropped,
    // and headings it lacks stay as they were.
    void setHeadings(const QStringList &headings);
    void RankProtocol();
    TSortGrid::SortStyle SortGrid1GetSortStyle(int col) const;
    void SortGrid1GetCellFormat(int col, int row, TSortGrid::CellFormat &format) const;
    void SetProtocolColumnWidths();
    bool SortGrid1SelectCell(int col, int row);
    void SortGrid1KeyPress(QChar &key);

    // Selects the row of the current start number, if the protocol has one.
    void selectCurrentStarter();
    // Selects the row whose start number is key, if there is one.
    void selectStarterRow(const QString &key);
    void showPosition(int row);

private:
    TFormMainUi &m_ui;
    LiveState &m_live;
};
