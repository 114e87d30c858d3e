#include "ScreenBound.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QPointer>
#include <QScreen>
#include <QWidget>

void ScreenBound::install()
{
    static QPointer<ScreenBound> filter;
    if (filter || !qApp)
        return;
    filter = new ScreenBound(qApp);
    qApp->installEventFilter(filter);
}

void ScreenBound::fit(QWidget *window)
{
    QLayout *layout = window->layout();
    // The main window keeps the minimum size it was given and squeezes its content itself.
    if (!layout || qobject_cast<QMainWindow *>(window) || !window->screen())
        return;
    const QSize screen = window->screen()->availableGeometry().size();
    // The layout would set the full minimum; it is set here, bounded, instead.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    window->setMinimumSize(layout->totalMinimumSize().boundedTo(screen));
}

bool ScreenBound::eventFilter(QObject *watched, QEvent *event)
{
    // Polish comes before a window's first layout and sizing; a layout request after each
    // change of its content.
    if ((event->type() == QEvent::Polish || event->type() == QEvent::LayoutRequest) &&
        watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
        fit(static_cast<QWidget *>(watched));
    return QObject::eventFilter(watched, event);
}
