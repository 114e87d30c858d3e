#pragma once

#include <QByteArray>
#include <QString>

// UTF-8, or Windows-1252 when the bytes are not valid UTF-8: older lists were saved by programs
// that wrote the Windows code page. A leading UTF-8 byte-order mark is skipped in either case;
// a UTF-16 byte-order mark (as some spreadsheet programs write "Unicode text") reads as UTF-16.
// Text that cannot be decoded becomes U+FFFD, half a UTF-16 surrogate pair included.
QString decodeText(const QByteArray &bytes);

// False when the text holds NUL or other control characters that no list has: tabs, line
// breaks, form feeds and a DOS end-of-file mark are all a text file may contain.
bool isPlainText(const QString &text);

// Decodes through iconv; iconvName is the code page's iconv name, e.g. "WINDOWS-1252". A byte the
// code page leaves undefined becomes U+FFFD and the rest is still converted; an unknown name or a
// failed conversion gives Latin-1, so no byte is lost.
QString decodeCodePage(const QByteArray &bytes, const char *iconvName);
