#pragma once

#include "LanguageTable.h"
#include "ProtocolRow.h"

#include <QString>
#include <QStringList>

// The protocol's column heading in the language in force.
inline QString ProtocolColumnHeading(int column)
{
    return LanguageText(LanguageLine::FirstHeading + column);
}

// Result text of a run without a positive riding time; the abort commands set it and it keeps
// the last value.
inline QString AbortReasonText = QStringLiteral("EL");
