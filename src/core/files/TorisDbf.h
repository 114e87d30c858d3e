#pragma once

#include "TorisTable.h"

#include <QByteArrayView>
#include <QList>
#include <QLocale>
#include <QStringList>

#include <optional>

// One starter of an imported table: the protocol cells (columns 0 to 10) that its fields feed,
// bit c of fed set for each column c fed.
struct TorisStarter
{
    QStringList cells;
    quint32 fed = 0;
};

struct TorisImport
{
    TorisTable table;
    QList<TorisStarter> starters; // one per record not flagged deleted, in file order
};

// The size a dBase file with this 32-byte header must have; -1 for fewer bytes.
qint64 torisFileSize(QByteArrayView header);

// Reads a dBase III table. Numbers of the time fields are written with two decimals and the
// locale's decimal separator. Nothing for a file whose structure does not hold together.
std::optional<TorisImport> readTorisDbf(QByteArrayView file, const QLocale &locale);

// The table as a dBase III file; sets the record count and header length of its header to those
// written.
QByteArray writeTorisDbf(TorisTable &table);
