#pragma once

#include "TSortGrid.h"

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>

// Every row of a grid, heading row first.
inline QList<QStringList> gridRows(const TSortGrid *grid)
{
    QList<QStringList> rows;
    for (int r = 0; r < grid->gridRowCount(); ++r)
        rows << grid->rowTexts(r);
    return rows;
}

// One column's cells below the heading row.
inline QStringList gridColumn(const TSortGrid *grid, int col)
{
    QStringList texts;
    for (int r = 1; r < grid->gridRowCount(); ++r)
        texts << grid->cells(col, r);
    return texts;
}

// A combo box's items, each cut to chars when given.
inline QStringList comboTexts(const QComboBox *box, qsizetype chars = -1)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i).left(chars);
    return texts;
}

// A protocol row of rider 7 on Corrado with 4 penalty seconds and 4 faults.
inline QStringList protocolRow(const QString &rider, const QString &time,
                               const QString &points = QStringLiteral("4,00"),
                               const QString &rank = QStringLiteral("1"))
{
    return {"7", "102", "Corrado", rider, "RV Ost", time, "0,00", "4", "4", points, time, rank};
}

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
