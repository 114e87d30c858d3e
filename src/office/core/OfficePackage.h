#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The parts of an Office Open XML file, by name.
using PackageParts = QList<QPair<QString, QByteArray>>;

// The parts packed into a zip, as documents and workbooks are; false when packing failed.
bool packParts(const PackageParts &parts, QByteArray &bytes);

// Text as XML 1.0 can hold it: control characters other than tab and line feed become blanks.
QString xmlText(const QString &text);
