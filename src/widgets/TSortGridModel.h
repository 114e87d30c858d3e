#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>
#include <functional>

// The texts behind a TSortGrid. The heading row is the horizontal header; model row r is grid
// row r + 1. Every row, heading included, holds exactly columnCount() texts.
class TSortGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Background, alignment and font of a cell; row is the grid row, 0 for the heading.
    using Formatter = std::function<QVariant(int col, int row, int role)>;

    explicit TSortGridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void setColumnCount(int cols);
    void setDataRowCount(int rows);

    const QVector<QStringList> &rows() const { return m_rows; }
    const QStringList &headings() const { return m_headings; }
    void setHeadings(const QStringList &texts);
    void setHeading(int col, const QString &text);
    void setText(int row, int col, const QString &text);
    void setRowTexts(int row, const QStringList &texts);
    // Column col of rows 0 .. texts.size() - 1, announced as one change.
    void setColumnTexts(int col, const QStringList &texts);
    void appendRow(const QStringList &texts);
    void removeDataRow(int row);
    void setRows(QList<QStringList> rows);
    // Row i afterwards is row order[i] before; persistent indexes move with their rows.
    void reorder(const QVector<int> &order);

    void setEditable(bool on) { m_editable = on; }
    void setFormatter(Formatter formatter) { m_formatter = std::move(formatter); }

private:
    QStringList fitted(QStringList texts) const;

    int m_cols = 0;
    QStringList m_headings;
    QVector<QStringList> m_rows = {QStringList()}; // the grid never has fewer data rows
    bool m_editable = false;
    Formatter m_formatter;
};
