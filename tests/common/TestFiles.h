#pragma once

#include "TSortGrid.h"

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
