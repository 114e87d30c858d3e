#include "LocaleNumbers.h"

#include <cmath>

namespace LocaleNumbers {

QLocale fieldLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

bool toDouble(const QString &text, double &value, QString *error)
{
    bool ok = false;
    const double v = fieldLocale().toDouble(text.trimmed(), &ok);
    if (ok && std::isfinite(v)) {
        value = v;
        return true;
    }
    if (error)
        *error = QStringLiteral("'%1' ist kein gültiger Gleitkommawert.").arg(text);
    return false;
}

bool toInt(const QString &text, qint64 &value, QString *error)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok, 10);
    if (ok) {
        value = v;
        return true;
    }
    if (error)
        *error = QStringLiteral("'%1' ist kein gültiger Integerwert.").arg(text);
    return false;
}

namespace {
QString typedSoFar(const QString &text)
{
    QString t = text.trimmed();
    if (t.endsWith(fieldLocale().decimalPoint()))
        t.chop(fieldLocale().decimalPoint().size());
    return t.isEmpty() ? QStringLiteral("0") : t;
}
} // namespace

bool typedToDouble(const QString &text, double &value, QString *error)
{
    if (toDouble(typedSoFar(text), value))
        return true;
    return toDouble(text, value, error);
}

bool typedToInt(const QString &text, qint64 &value, QString *error)
{
    if (toInt(typedSoFar(text), value))
        return true;
    return toInt(text, value, error);
}

QString fixed2(double value)
{
    // Keeps a tiny negative result from showing as "-0,00".
    if (std::fabs(value) < 0.005)
        value = 0.0;
    return fieldLocale().toString(value, 'f', 2);
}

QString shortest(double value)
{
    // Whole numbers never switch to an exponent ("1000000", not "1e+06").
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return fieldLocale().toString(qint64(value));
    return fieldLocale().toString(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace LocaleNumbers
