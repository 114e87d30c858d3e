#pragma once

#include <QObject>

// Keeps every window with a layout within its screen, however long the texts a language file
// puts into it: a window's layout no longer makes it wider or taller than the screen; the
// widest items give up their width first, so buttons and boxes stay in reach. Showing a window
// sizes it to at most two thirds of the screen.
class ScreenBound : public QObject
{
    Q_OBJECT
public:
    // Installs the one filter on the application; again does nothing.
    static void install();
    // Bounds that window now.
    static void fit(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};
