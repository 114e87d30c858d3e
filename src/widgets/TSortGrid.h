#pragma once

#include <QColor>
#include <QStringList>
#include <QTableView>
#include <functional>

class TSortGridModel;

// A sortable string grid. Row 0 is the heading row, as in every file made from the protocol;
// rows 1 onward are the data rows. cells()/setCells() address both alike. The heading row is
// drawn as the horizontal header.
class TSortGrid : public QTableView
{
    Q_OBJECT
public:
    enum SortStyle
    {
        ssNumeric,    // both read as numbers and compared by value; otherwise as text
        ssAlphabetic, // byte-wise (code unit) comparison
        ssCustom      // the custom comparison
    };

    struct CellFormat
    {
        QColor background; // invalid: the grid's own
        Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter;
        int fontPointSize = 0; // 0: the grid's own
    };

    explicit TSortGrid(QWidget *parent = nullptr);
    ~TSortGrid() override;

    // Rows including the heading row.
    int gridRowCount() const;
    void setGridRowCount(int rows);
    int colCount() const;
    void setColCount(int cols);

    QString cells(int col, int row) const;
    void setCells(int col, int row, const QString &text);
    QStringList rowTexts(int row) const;
    // Every row, the headings first.
    QList<QStringList> allRowTexts() const;
    void setRowTexts(int row, const QStringList &texts);
    // One column of the data rows at once, from row 1: one change for the whole column.
    void setColumnCells(int col, const QStringList &texts);
    void appendRow(const QStringList &texts);
    void deleteRow(int row);
    // Every data row at once; the grid keeps at least one (empty) data row.
    void setDataRows(QList<QStringList> rows);

    // The current cell in grid coordinates (data rows from 1); 0 when there is none.
    int currentGridRow() const;
    int currentGridCol() const;
    // Makes row the current row and selects it whole.
    void selectGridRow(int row);

    // Sort options. Secondary columns are a comma-separated list of column numbers.
    int sortColumn() const { return m_sortColumn; }
    // A sort set from outside (the ranking) is not a heading click: the next click on that
    // heading sorts ascending.
    void setSortColumn(int col)
    {
        m_sortColumn = col;
        m_clickedHeading = -1;
    }
    QString secondaryIndex() const { return m_secondaryIndex; }
    void setSecondaryIndex(const QString &columns) { m_secondaryIndex = columns; }
    bool sortAscending() const { return m_ascending; }
    void setSortAscending(bool ascending) { m_ascending = ascending; }
    bool caseSensitive() const { return m_caseSensitive; }
    void setCaseSensitive(bool on) { m_caseSensitive = on; }
    bool canSort() const { return m_canSort; }
    void setCanSort(bool on) { m_canSort = on; }

    // Sorts the data rows by the primary column, then the secondary ones, each pass stable.
    void sortGrid();

    // Asked at each sort, per key column. Default: ssAlphabetic.
    void setSortStyleHandler(std::function<SortStyle(int col)> handler);
    // The comparison of ssCustom columns: negative, 0 or positive.
    void setCustomCompare(std::function<int(const QString &, const QString &)> compare);
    // For ssCustom columns: a key worked out once per cell and compared first, by group, then
    // value; the custom comparison decides only between equal keys. It must agree with it.
    struct SortKey
    {
        int group = 0;
        double value = 0;
        bool decides = false; // equal keys mean equal cells: the comparison is not asked
    };
    void setCustomKey(std::function<SortKey(const QString &)> key);
    // Asked for every cell drawn, heading row included (row 0).
    void setCellFormatHandler(std::function<void(int col, int row, CellFormat &format)> handler);
    // Asked before the current cell moves; false refuses the move.
    void setSelectCellHandler(std::function<bool(int col, int row)> handler);
    // Sees every typed character first; setting it to a null QChar drops it.
    void setKeyPressHandler(std::function<void(QChar &key)> handler);

    // Editing of the current cell and whole-row selection, switched by the select-cell handler.
    void setEditing(bool on);
    bool editing() const { return m_editing; }
    void setRowSelect(bool on);
    bool rowSelect() const { return m_rowSelect; }

    int clientWidth() const;
    int colWidth(int col) const;
    void setColWidth(int col, int width);

    // Typing never jumps to a matching row: that would pass by the select-cell handler.
    void keyboardSearch(const QString &search) override;
    using QTableView::edit;

signals:
    // A heading was clicked and the grid sorted by that column.
    void headingSorted(int col);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void headingClicked(int col);
    bool mayMoveTo(const QModelIndex &target) const;
    bool dropsKey(const QKeyEvent *event) const;
    QVariant formatRole(int col, int row, int role) const;

    TSortGridModel *m_model = nullptr;
    std::function<SortStyle(int col)> m_sortStyle;
    std::function<int(const QString &, const QString &)> m_customCompare;
    std::function<SortKey(const QString &)> m_customKey;
    std::function<void(int col, int row, CellFormat &format)> m_cellFormat;
    std::function<bool(int col, int row)> m_selectCell;
    std::function<void(QChar &key)> m_keyPress;
    int m_sortColumn = 0;
    int m_clickedHeading = -1; // the heading last clicked, while its sort stands
    QString m_secondaryIndex;
    bool m_ascending = true;
    bool m_caseSensitive = false;
    bool m_canSort = false;
    bool m_editing = false;
    bool m_rowSelect = true;
};
