#pragma once

#include "FileDialogs.h"

// Answers the open and save dialogs with the next prepared file and filter (cancel when none
// is left), and keeps what was offered.
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
        return answer(folder, QString(), filters, filterIndex);
    }
    QString getSaveFileName(QWidget *, const QString &folder, const QString &fileName,
                            const QStringList &filters, int *filterIndex) override
    {
        return answer(folder, fileName, filters, filterIndex);
    }

    QList<Answer> answers;
    QString offeredFolder;
    QString offeredName;
    QStringList offeredFilters;
    int offeredFilter = 0;

private:
    QString answer(const QString &folder, const QString &name, const QStringList &filters,
                   int *filterIndex)
    {
        offeredFolder = folder;
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
