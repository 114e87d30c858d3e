#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The start-number list's items: each shows its starter's start number and keeps the whole item
// in Qt::UserRole. Filled in one go, so a list of thousands loads at once; the box never adds
// what is typed into it.
class StarterItemModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    void setItems(const QStringList &items);
    const QStringList &items() const { return m_items; }

private:
    QStringList m_items;
    QStringList m_startNumbers;
};
