#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The protocol as a Word document (".docx"): one table of as many columns as the rows have,
// rows[0] the heading row, bold and repeated on every page. templateBytes, when not empty, is a
// ".docx" whose body the table is appended to, its letterhead, styles and page set-up kept;
// without one the document is a landscape A4 page. False with the reason when the template is
// no document or the document could not be made.
bool wordDocumentBytes(const QList<QStringList> &rows, const QByteArray &templateBytes,
                       QByteArray &bytes, QString &reason);

// The largest part of a template unpacked; a letterhead is far smaller.
inline constexpr qint64 MaxTemplatePartBytes = 32 * 1024 * 1024;
