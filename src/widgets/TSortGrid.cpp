#include "TSortGrid.h"

#include <QHeaderView>

TSortGrid::TSortGrid(QWidget *parent) : QTableWidget(parent)
{
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TSortGrid::setGridRowCount(int rows)
{
    setRowCount(qMax(0, rows - 1));
}

QString TSortGrid::cells(int col, int row) const
{
    if (row == 0) {
        const QTableWidgetItem *h = horizontalHeaderItem(col);
        return h ? h->text() : QString();
    }
    const QTableWidgetItem *it = item(row - 1, col);
    return it ? it->text() : QString();
}

void TSortGrid::setCells(int col, int row, const QString &text)
{
    if (row == 0) {
        QTableWidgetItem *h = horizontalHeaderItem(col);
        if (!h) {
            h = new QTableWidgetItem;
            setHorizontalHeaderItem(col, h);
        }
        h->setText(text);
        return;
    }
    QTableWidgetItem *it = item(row - 1, col);
    if (!it) {
        it = new QTableWidgetItem;
        setItem(row - 1, col, it);
    }
    it->setText(text);
}
