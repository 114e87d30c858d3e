#pragma once

#include "ProtocolRow.h"

#include <QString>
#include <QStringList>

// The protocol's own texts. A language file may replace the headings and the questions.
inline QStringList ProtocolColumnHeadings = [] {
    QStringList headings;
    for (const char *h : DefaultProtocolColumnHeadings)
        headings.append(QString::fromUtf8(h));
    return headings;
}();

// Result text of a run without a positive riding time; the abort commands set it and it keeps
// the last value.
inline QString AbortReasonText = QStringLiteral("EL");
inline QString EliminatedInfoText = QStringLiteral("ELIMINIERT");

inline QString ClearProtocolQuestion = QStringLiteral("Zeitenprotokoll löschen?");
inline QString DeleteRowQuestion = QStringLiteral("Zeile löschen?");
inline QString QuitQuestion = QStringLiteral("Beenden?");
