#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The tournament program's dBase texts: German letters in the DOS code page (0x84 ä, 0x94 ö,
// 0x81 ü, 0x8E Ä, 0x99 Ö, 0x9A Ü, 0xE1 ß), every other byte in the Windows code page.
QString OemToAnsiUmlauts(QByteArrayView bytes);

// The exact inverse of OemToAnsiUmlauts: a character no byte reads back as is written "?".
QByteArray AnsiToOemUmlauts(QStringView text);

// As AnsiToOemUmlauts, into at most size bytes at out; returns the bytes written.
qsizetype AnsiToOemUmlautsInto(QStringView text, char *out, qsizetype size);
