#pragma once

#include "FileDialogs.h"

// Answers the file dialogs with the next prepared file and filter (or cancel); keeps the offer.
class FakeFileDialogs : public FileDialogs
{
public:
    struct Answer
    {
        QString fileName;
        int filter = 1;
    };

    FakeFileDialogs() { setFileDialogs(this); }
    ~FakeFileDialogs() override { setFileDialogs(nullptr); }

    QString getOpenFileName(QWidget *, const QString &folder, const QStringList &filters,
                            int *filterIndex) override
    {
        offeredFolder = folder;
        return answer(QString(), filters, filterIndex);
    }
    QString getSaveFileName(QWidget *, const QString &, const QString &fileName,
                            const QStringList &filters, int *filterIndex) override
    {
        return answer(fileName, filters, filterIndex);
    }

    QColor getColor(QWidget *, const QColor &) override
    {
        ++colorDialogs;
        return colors.isEmpty() ? QColor() : colors.takeFirst();
    }

    QList<Answer> answers;
    QList<QColor> colors; // answers of the colour dialog; cancelled when empty
    int colorDialogs = 0;
    QString offeredFolder;
    QString offeredName;
    QStringList offeredFilters;
    int offeredFilter = 0;

private:
    QString answer(const QString &name, const QStringList &filters, int *filterIndex)
    {
        offeredName = name;
        offeredFilters = filters;
        offeredFilter = *filterIndex;
        if (answers.isEmpty())
            return {};
        const Answer a = answers.takeFirst();
        *filterIndex = a.filter;
        return a.fileName;
    }
};
