#pragma once

#include <QTableWidget>

// The protocol grid. Row 0 is the heading row, as in every file made from the protocol; rows 1
// onward hold the riders. cells()/setCells() address both alike.
class TSortGrid : public QTableWidget
{
    Q_OBJECT
public:
    explicit TSortGrid(QWidget *parent = nullptr);

    // Rows including the heading row.
    int gridRowCount() const { return rowCount() + 1; }
    void setGridRowCount(int rows);

    QString cells(int col, int row) const;
    void setCells(int col, int row, const QString &text);
};
