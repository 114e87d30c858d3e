#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class QXmlStreamWriter;

// The parts of an Office Open XML file, by name.
using PackageParts = QList<QPair<QString, QByteArray>>;

// The parts packed into a zip, as documents and workbooks are; false when packing failed.
bool packParts(const PackageParts &parts, QByteArray &bytes);

// "[Content_Types].xml": the defaults for .rels and .xml parts, and one override per part as
// (part name, content type).
QByteArray contentTypesPart(const QList<QPair<const char *, const char *>> &overrides);

// A relationships part: one relationship per (type, target), numbered rId1, rId2, ... in order.
QByteArray relationshipsPart(const QList<QPair<const char *, const char *>> &links);

// Text as XML 1.0 can hold it: control characters other than tab and line feed become blanks,
// half a surrogate pair and the non-characters U+FFFE and U+FFFF become U+FFFD.
QString xmlText(const QString &text);

// A text element that keeps its leading and trailing blanks, as both formats write cell texts.
void writePreservedText(QXmlStreamWriter &xml, const QString &element, const QString &text);
