#include "StarterItemModel.h"

#include "ProtocolRow.h"

int StarterItemModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant StarterItemModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_startNumbers.at(index.row());
    if (role == Qt::UserRole)
        return m_items.at(index.row());
    return {};
}

void StarterItemModel::setItems(const QStringList &items)
{
    beginResetModel();
    m_items = items;
    m_startNumbers.clear();
    m_startNumbers.reserve(items.size());
    for (const QString &item : items)
        m_startNumbers << StartNumberKey(item);
    endResetModel();
}
