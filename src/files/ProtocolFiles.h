#pragma once

#include "FileTypes.h"
#include "HtmlReport.h"
#include "OfficeExports.h"
#include "TorisExchange.h"

#include <QObject>

class LiveState;
struct LiveSnapshot;
class ProtocolGrid;
class ResultsProtocol;
class StarterList;
class TFormMainUi;

// Loading starter lists and saved protocols, and saving the protocol, through the file dialogs.
class ProtocolFiles : public QObject
{
    Q_OBJECT
public:
    // The files are written from the live state; loads go through the grid and the lists.
    ProtocolFiles(TFormMainUi &ui, LiveState &live, ProtocolGrid &grid, StarterList &starters,
                  ResultsProtocol &protocol, QObject *parent = nullptr);

    void sbLoadClick();
    void sbSaveClick();

    // Each returns false, after telling the operator, when the file could not be read or
    // written; a failed load leaves the protocol and the lists as they were.
    bool ImportTextList(const QString &fileName);
    bool ImportExcelWorkbook(const QString &fileName);
    bool ExportTextList(const QString &fileName);
    bool SaveAsCsv(const QString &fileName);
    // The results page; a page that cannot be written is reported and the former one stays.
    bool ExportHtml(const QString &fileName);
    // Writes the page named like the program into the working folder, then opens it in the
    // browser (tag 0) or prints it (tag 1). A page that could not be written is neither.
    void sbHTMLClick(int tag);

    TorisExchange &toris() { return m_toris; }
    OfficeExports &office() { return m_office; }

private:
    QString dialogFolder();
    static HtmlReportTexts reportTexts(const LiveSnapshot &snapshot);
    // failure: the message, with %1 the file and %2 the system's reason.
    bool writeFile(const QString &fileName, const QByteArray &contents,
                   const QString &failure = QStringLiteral("Can't write to file:\n%1\n%2"));
    // Headings and entries into the grid, the starters into both lists.
    void loadRows(QList<QStringList> rows, bool rank);

    TFormMainUi &m_ui;
    LiveState &m_live;
    ProtocolGrid &m_grid;
    StarterList &m_starters;
    ResultsProtocol &m_protocol;
    TorisExchange m_toris;
    OfficeExports m_office;
    QList<FileFilterEntry> m_openEntries;
    QList<FileFilterEntry> m_saveEntries;
    QString m_folder; // where the open and save dialogs start
};
