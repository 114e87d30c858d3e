#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

class QWidget;

// The open, save and colour dialogs go through here, so tests can answer them.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // The chosen file, or empty when cancelled. filterIndex (1-based) preselects a filter and
    // returns the one chosen.
    virtual QString getOpenFileName(QWidget *parent, const QString &folder,
                                    const QStringList &filters, int *filterIndex);
    // An existing file of the chosen name is replaced without a question.
    virtual QString getSaveFileName(QWidget *parent, const QString &folder, const QString &fileName,
                                    const QStringList &filters, int *filterIndex);
    // The chosen colour, or an invalid one when cancelled.
    virtual QColor getColor(QWidget *parent, const QColor &initial);
};

FileDialogs &fileDialogs();
void setFileDialogs(FileDialogs *dialogs);
