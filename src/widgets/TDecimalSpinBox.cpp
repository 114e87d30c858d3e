#include "TDecimalSpinBox.h"

QValidator::State TDecimalSpinBox::validate(QString &input, int &pos) const
{
    toLocaleDecimal(input);
    return QDoubleSpinBox::validate(input, pos);
}

double TDecimalSpinBox::valueFromText(const QString &text) const
{
    QString t = text;
    toLocaleDecimal(t);
    return QDoubleSpinBox::valueFromText(t);
}

void TDecimalSpinBox::fixup(QString &input) const
{
    toLocaleDecimal(input);
    QDoubleSpinBox::fixup(input);
}

void TDecimalSpinBox::toLocaleDecimal(QString &text) const
{
    // The box shows no group separators, so either mark can only mean the decimal one.
    const QString point = locale().decimalPoint();
    text.replace(QLatin1Char('.'), point);
    text.replace(QLatin1Char(','), point);
}
