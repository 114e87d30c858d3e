#pragma once

#include <QProxyStyle>

class QComboBox;

// Draws an editable combo box as a plain edit field: no arrow, the text across the whole box.
// The starter boxes look like this while no starter list is loaded.
class PlainComboStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // Switches the box between plain field and drop-down box.
    static void apply(QComboBox *box, bool plain);

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                         const QWidget *widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget) const override;
    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                     const QPoint &pos, const QWidget *widget) const override;

private:
    PlainComboStyle();
};
