#pragma once

#include <functional>

class QPrinter;
class QWidget;

// Printing: the desktop's print dialog (printer, copies, or a PDF file), then render draws the
// pages onto the chosen printer. Tests replace it.
class PagePrinter
{
public:
    // False when the pages could not be drawn onto the printer.
    using Render = std::function<bool(QPrinter &printer)>;

    virtual ~PagePrinter() = default;
    // False when the operator cancelled the print dialog or the printing failed; failed tells
    // the two apart.
    virtual bool print(QWidget *parent, const Render &render, bool *failed);
};

PagePrinter &pagePrinter();
void setPagePrinter(PagePrinter *printer);
