#pragma once

#include <QDoubleSpinBox>

// A decimal spin box that reads a point as well as a comma as the decimal separator, whatever
// the locale: in German, QDoubleSpinBox takes "0.5" for 5, and "1.25" for 125.
class TDecimalSpinBox : public QDoubleSpinBox
{
    Q_OBJECT
public:
    using QDoubleSpinBox::QDoubleSpinBox;

    QValidator::State validate(QString &input, int &pos) const override;
    double valueFromText(const QString &text) const override;
    void fixup(QString &input) const override;

private:
    void toLocaleDecimal(QString &text) const;
};
