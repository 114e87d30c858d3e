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

void MessageBoxes::notice(QWidget *parent, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Warning, QApplication::applicationName(), text,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    // The run keys must keep reaching the main window while it is open.
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    box->show();
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
