#include "MessageBoxes.h"

#include "TFDlgYesNo.h"

#include <QApplication>
#include <QMessageBox>

void MessageBoxes::warning(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text);
}

void MessageBoxes::error(QWidget *parent, const QString &text)
{
    QMessageBox::critical(parent, QApplication::applicationName(), text);
}

bool MessageBoxes::yesNo(QWidget *parent, const QString &question)
{
    TFDlgYesNo dialog(parent);
    return dialog.ask(question);
}

namespace {
MessageBoxes g_defaultBoxes;
MessageBoxes *g_boxes = &g_defaultBoxes;
} // namespace

MessageBoxes &messageBoxes()
{
    return *g_boxes;
}
void setMessageBoxes(MessageBoxes *boxes)
{
    g_boxes = boxes ? boxes : &g_defaultBoxes;
}
