#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class LiveState;
struct LiveSnapshot;
class TFormMainUi;

// The protocol to Word and Excel files the program writes itself, and to the clipboard.
class OfficeExports : public QObject
{
    Q_OBJECT
public:
    // Every file and the clipboard are written from the live state.
    OfficeExports(TFormMainUi &ui, LiveState &live, QObject *parent = nullptr);

    // A document or workbook named like a saved protocol, in the user's documents folder, opened
    // with the desktop's program for it.
    void sbWordClick();
    void sbExcelClick();
    // mode 0 writes and opens the document, mode 1 only writes it. Each returns false, after
    // telling the operator, when the file could not be written; the former file then stays.
    bool ExportWordDocument(int mode, const QString &fileName);
    bool ShowInExcel();
    bool ExportExcelWorkbook(const QString &fileName);
    void Copy1Click();

    // The Word template, when there is one: the user's own first, then the program's.
    static QString wordTemplatePath();

private:
    // Every column of the protocol, header row first: the files do not depend on how wide the
    // window is.
    static QList<QStringList> protocolRows(const LiveSnapshot &snapshot);
    bool writeWorkbook(const QString &fileName, const LiveSnapshot &snapshot,
                       const QString &subject);
    bool writeFile(const QString &fileName, const QByteArray &bytes);
    void fail(const QString &fileName, const QString &reason);
    QString documentsFile(const QString &extension) const;

    TFormMainUi &m_ui;
    LiveState &m_live;
};
