#include "FileDialogs.h"

#include <QColorDialog>
#include <QFileDialog>

namespace {
QString run(QFileDialog &dialog, const QStringList &filters, int *filterIndex)
{
    dialog.setNameFilters(filters);
    if (*filterIndex >= 1 && *filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(*filterIndex - 1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    *filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return dialog.selectedFiles().constFirst();
}

FileDialogs g_defaultDialogs;
FileDialogs *g_dialogs = &g_defaultDialogs;
} // namespace

QString FileDialogs::getOpenFileName(QWidget *parent, const QString &folder,
                                     const QStringList &filters, int *filterIndex)
{
    QFileDialog dialog(parent, QString(), folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog, filters, filterIndex);
}

QString FileDialogs::getSaveFileName(QWidget *parent, const QString &folder,
                                     const QString &fileName, const QStringList &filters,
                                     int *filterIndex)
{
    QFileDialog dialog(parent, QString(), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(fileName);
    return run(dialog, filters, filterIndex);
}

QColor FileDialogs::getColor(QWidget *parent, const QColor &initial)
{
    return QColorDialog::getColor(initial, parent);
}

FileDialogs &fileDialogs()
{
    return *g_dialogs;
}

void setFileDialogs(FileDialogs *dialogs)
{
    g_dialogs = dialogs ? dialogs : &g_defaultDialogs;
}
