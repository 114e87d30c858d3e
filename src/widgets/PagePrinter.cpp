#include "PagePrinter.h"

#include <QPrintDialog>
#include <QPrinter>

namespace {
PagePrinter g_defaultPrinter;
PagePrinter *g_printer = &g_defaultPrinter;
} // namespace

bool PagePrinter::print(QWidget *parent, const Render &render, bool *failed)
{
    *failed = false;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *failed = !render(printer);
    return !*failed;
}

PagePrinter &pagePrinter()
{
    return *g_printer;
}

void setPagePrinter(PagePrinter *printer)
{
    g_printer = printer ? printer : &g_defaultPrinter;
}
