#pragma once

#include <QLocale>
#include <QString>

// The scoring fields hold their values as text in the user's locale: read back the way they
// were written, and written without group separators.
namespace LocaleNumbers {

// The locale the fields use: the default one, without group separators either way.
QLocale fieldLocale();

// A floating-point number; on failure *error gets the message the operator sees.
bool toDouble(const QString &text, double &value, QString *error = nullptr);
// A whole number; on failure *error gets the message the operator sees.
bool toInt(const QString &text, qint64 &value, QString *error = nullptr);

// The same for a field the operator may be typing into: empty reads as 0, and a trailing
// decimal separator ("4,") as the number before it, so a half-typed field is never an error.
bool typedToDouble(const QString &text, double &value, QString *error = nullptr);
bool typedToInt(const QString &text, qint64 &value, QString *error = nullptr);

// Two decimals with the locale's decimal separator (4 faults: "4,00" or "4.00").
QString fixed2(double value);
// The shortest text that reads back as the value (6 is written "6", 6.5 "6,5").
QString shortest(double value);

} // namespace LocaleNumbers
