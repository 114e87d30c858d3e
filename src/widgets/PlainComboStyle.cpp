#include "PlainComboStyle.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QStyleOptionComplex>

PlainComboStyle::PlainComboStyle() : QProxyStyle(QApplication::style()->name()) {}

void PlainComboStyle::apply(QComboBox *box, bool plain)
{
    auto *current = qobject_cast<PlainComboStyle *>(box->style());
    if (plain && !current) {
        auto *style = new PlainComboStyle;
        style->setParent(box);
        box->setStyle(style);
    } else if (!plain && current) {
        box->setStyle(nullptr);
        current->deleteLater();
    }
}

QRect PlainComboStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                                      SubControl sub, const QWidget *widget) const
{
    if (control != CC_ComboBox)
        return QProxyStyle::subControlRect(control, option, sub, widget);
    const int frame = pixelMetric(PM_DefaultFrameWidth, option, widget);
    switch (sub) {
    case SC_ComboBoxEditField:
        return option->rect.adjusted(frame + 1, frame, -frame - 1, -frame);
    case SC_ComboBoxArrow:
        return {};
    default:
        return QProxyStyle::subControlRect(control, option, sub, widget);
    }
}

void PlainComboStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                         QPainter *painter, const QWidget *widget) const
{
    if (control != CC_ComboBox) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    QStyleOptionFrame frame;
    frame.QStyleOption::operator=(*option);
    frame.lineWidth = pixelMetric(PM_DefaultFrameWidth, option, widget);
    frame.midLineWidth = 0;
    frame.state |= State_Sunken;
    drawPrimitive(PE_PanelLineEdit, &frame, painter, widget);
}

QStyle::SubControl PlainComboStyle::hitTestComplexControl(ComplexControl control,
                                                          const QStyleOptionComplex *option,
                                                          const QPoint &pos,
                                                          const QWidget *widget) const
{
    // No arrow to press, so no list opens from a click.
    if (control == CC_ComboBox)
        return SC_ComboBoxEditField;
    return QProxyStyle::hitTestComplexControl(control, option, pos, widget);
}
