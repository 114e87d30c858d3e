#include "ScreenBound.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
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
    const QRect screen = window->screen()->availableGeometry();
    // No caption takes more than half the screen, so the controls beside it keep their room;
    // its text is cut off instead.
    const int widest = screen.width() / 2;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if ((qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w) ||
             qobject_cast<QGroupBox *>(w)) &&
            w->window() == window && w->minimumSizeHint().width() > widest)
            w->setMaximumWidth(widest);
    }
    // The layout would set the full minimum; it is set here, bounded, instead.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    window->setMinimumSize(layout->totalMinimumSize().boundedTo(screen.size()));
    // A window that grew while shown moves back onto its screen.
    if (window->isVisible()) {
        const QSize size = window->size().expandedTo(window->minimumSize());
        const QPoint at(qBound(screen.left(), window->x(), screen.right() + 1 - size.width()),
                        qBound(screen.top(), window->y(), screen.bottom() + 1 - size.height()));
        if (at != window->pos())
            window->move(at);
    }
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
