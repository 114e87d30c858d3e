#include "TSortGridModel.h"

TSortGridModel::TSortGridModel(QObject *parent) : QAbstractTableModel(parent) {}

int TSortGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TSortGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant TSortGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_rows.at(index.row()).at(index.column());
    case Qt::BackgroundRole:
    case Qt::TextAlignmentRole:
    case Qt::FontRole:
        return m_formatter ? m_formatter(index.column(), index.row() + 1, role) : QVariant();
    default:
        return {};
    }
}

bool TSortGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    setText(index.row(), index.column(), value.toString());
    return true;
}

QVariant TSortGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_cols)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_headings.at(section);
    case Qt::BackgroundRole:
    case Qt::TextAlignmentRole:
    case Qt::FontRole:
        return m_formatter ? m_formatter(section, 0, role) : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags TSortGridModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_editable && index.isValid())
        f |= Qt::ItemIsEditable;
    return f;
}

void TSortGridModel::setColumnCount(int cols)
{
    cols = qMax(0, cols);
    if (cols == m_cols)
        return;
    const bool growing = cols > m_cols;
    if (growing)
        beginInsertColumns(QModelIndex(), m_cols, cols - 1);
    else
        beginRemoveColumns(QModelIndex(), cols, m_cols - 1);
    m_cols = cols;
    m_headings = fitted(m_headings);
    for (QStringList &row : m_rows)
        row = fitted(std::move(row));
    if (growing)
        endInsertColumns();
    else
        endRemoveColumns();
}

void TSortGridModel::setDataRowCount(int rows)
{
    const int old = int(m_rows.size());
    if (rows > old) {
        beginInsertRows(QModelIndex(), old, rows - 1);
        m_rows.insert(old, rows - old, fitted({}));
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows(QModelIndex(), rows, old - 1);
        m_rows.resize(rows);
        endRemoveRows();
    }
}

void TSortGridModel::setHeadings(const QStringList &texts)
{
    m_headings = fitted(texts);
    if (m_cols > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
}

void TSortGridModel::setHeading(int col, const QString &text)
{
    if (col < 0 || col >= m_cols)
        return;
    m_headings[col] = text;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

void TSortGridModel::setText(int row, int col, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || col < 0 || col >= m_cols)
        return;
    m_rows[row][col] = text;
    const QModelIndex at = index(row, col);
    emit dataChanged(at, at, {Qt::DisplayRole, Qt::EditRole});
}

void TSortGridModel::setRowTexts(int row, const QStringList &texts)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row] = fitted(texts);
    if (m_cols > 0)
        emit dataChanged(index(row, 0), index(row, m_cols - 1), {Qt::DisplayRole, Qt::EditRole});
}

void TSortGridModel::appendRow(const QStringList &texts)
{
    const int row = int(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append(fitted(texts));
    endInsertRows();
}

void TSortGridModel::removeDataRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.remove(row);
    endRemoveRows();
}

void TSortGridModel::setRows(QList<QStringList> rows)
{
    beginResetModel();
    // Taken over, not copied: a large list is held once.
    m_rows = std::move(rows);
    for (QStringList &row : m_rows)
        row = fitted(std::move(row));
    endResetModel();
}

void TSortGridModel::setColumnTexts(int col, const QStringList &texts)
{
    const int rows = int(qMin<qsizetype>(texts.size(), m_rows.size()));
    if (col < 0 || col >= m_cols || rows == 0)
        return;
    for (int r = 0; r < rows; ++r)
        if (m_rows[r].at(col) != texts.at(r))
            m_rows[r][col] = texts.at(r);
    emit dataChanged(index(0, col), index(rows - 1, col), {Qt::DisplayRole, Qt::EditRole});
}

void TSortGridModel::reorder(const QVector<int> &order)
{
    if (order.size() != m_rows.size())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QVector<QStringList> sorted;
    sorted.reserve(order.size());
    QVector<int> newRow(order.size());
    for (int i = 0; i < order.size(); ++i) {
        sorted.append(std::move(m_rows[order[i]]));
        newRow[order[i]] = i;
    }
    m_rows = std::move(sorted);

    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &index : from)
        to.append(this->index(newRow.at(index.row()), index.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QStringList TSortGridModel::fitted(QStringList texts) const
{
    // Resizing a shared list copies it, even to its own size.
    if (texts.size() != m_cols)
        texts.resize(m_cols);
    return texts;
}
