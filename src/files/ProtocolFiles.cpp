#include "ProtocolFiles.h"

#include "DataFiles.h"
#include "DesktopOpener.h"
#include "FileDialogs.h"
#include "HtmlReport.h"
#include "LanguageTable.h"
#include "LiveState.h"
#include "MessageBoxes.h"
#include "PagePrinter.h"
#include "ProtocolGrid.h"
#include "ProtocolRow.h"
#include "ReportPrint.h"
#include "ResultsProtocol.h"
#include "Settings.h"
#include "StartFolder.h"
#include "StarterList.h"
#include "TFormMainUi.h"
#include "TLbSpeedButton.h"
#include "TSortGrid.h"
#include "TextCodec.h"
#include "TextProtocol.h"
#include "WholeFile.h"
#include "WorkbookReader.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QStandardPaths>
#include <QUrl>

namespace {
const QString HtmlFailure = QStringLiteral("Löschen Sie die alte Webseite oder speichern Sie diese "
                                           "unter einem anderen Namen: %1\n%2");
} // namespace

ProtocolFiles::ProtocolFiles(TFormMainUi &ui, LiveState &live, ProtocolGrid &grid,
                             StarterList &starters, ResultsProtocol &protocol, QObject *parent)
    : QObject(parent), m_ui(ui), m_live(live), m_grid(grid), m_starters(starters),
      m_protocol(protocol), m_toris(ui, live, starters, protocol), m_office(ui, live)
{
    const FileTypeNames names = fileTypeNames();
    m_openEntries = openFilterEntries(names);
    m_saveEntries = saveFilterEntries(names);
    connect(m_ui.sbLoad, &QToolButton::clicked, this, &ProtocolFiles::sbLoadClick);
    connect(m_ui.Open1, &QAction::triggered, this, &ProtocolFiles::sbLoadClick);
    connect(m_ui.sbSave, &QToolButton::clicked, this, &ProtocolFiles::sbSaveClick);
    connect(m_ui.Save1, &QAction::triggered, this, &ProtocolFiles::sbSaveClick);
    connect(m_ui.sbHTML, &QToolButton::clicked, this, [this] { sbHTMLClick(0); });
    connect(m_ui.sbPrint, &QToolButton::clicked, this, [this] { sbHTMLClick(1); });
    connect(m_ui.Drucker1, &QAction::triggered, this, [this] { sbHTMLClick(1); });
}

void ProtocolFiles::sbLoadClick()
{
    int entry = Settings.FilterIndO;
    const QString fileName = fileDialogs().getOpenFileName(m_ui.form, dialogFolder(),
                                                           filterLabels(m_openEntries), &entry);
    if (fileName.isEmpty())
        return;
    m_folder = QFileInfo(fileName).absolutePath();
    // A later save offers the same kind of file.
    Settings.FilterIndO = Settings.FiltInd = Settings.FilterInd = entry;
    const FileKind kind = kindOfEntry(m_openEntries, entry);
    if (kind == FileKind::TorisDbf)
        m_toris.ImportTorisDbf(fileName);
    else if (kind == FileKind::Excel)
        ImportExcelWorkbook(fileName);
    else
        ImportTextList(fileName);
    m_grid.SetProtocolColumnWidths();
}

bool ProtocolFiles::ImportTextList(const QString &fileName)
{
    // Read and checked whole before anything changes, so a refused file leaves the protocol
    // as it was.
    QByteArray bytes;
    QString reason;
    QString text;
    if (readWholeFile(fileName, MaxImportBytes, bytes, reason)) {
        // Counted in the bytes, before any work: a huge file is refused at once.
        if (qMax(bytes.count('\n'), bytes.count('\r')) > MaxImportRows)
            reason = QStringLiteral("Die Datei hat mehr als %1 Zeilen.").arg(MaxImportRows);
        else if (bytes.isEmpty())
            reason = QStringLiteral("Die Datei ist leer.");
        else if (!isPlainText(text = decodeText(bytes)))
            reason = QStringLiteral("Die Datei ist keine Textdatei.");
    }
    if (!reason.isEmpty()) {
        messageBoxes().error(m_ui.form,
                             QStringLiteral("Die Datei kann nicht geladen werden:\n%1\n%2")
                                 .arg(QDir::toNativeSeparators(fileName), reason));
        return false;
    }
    bytes = QByteArray();
    QList<QStringList> rows = parseTextList(text, ProtocolColumnCount);
    text = QString();
    loadRows(std::move(rows), false);
    return true;
}

bool ProtocolFiles::ImportExcelWorkbook(const QString &fileName)
{
    // Read whole before anything changes: a refused workbook leaves the protocol as it was.
    QList<QStringList> sheet;
    QString reason;
    if (!readWorkbookList(fileName, ProtocolColumnCount, sheet, reason)) {
        messageBoxes().error(m_ui.form,
                             QStringLiteral("Die Datei kann nicht geladen werden:\n%1\n%2")
                                 .arg(QDir::toNativeSeparators(fileName), reason));
        return false;
    }
    loadRows(std::move(sheet), true);
    return true;
}

void ProtocolFiles::loadRows(QList<QStringList> rows, bool rank)
{
    // The rows, their ranks and the lists reach the readers as one change.
    const LiveState::Batch batch(m_live);
    TSortGrid *grid = m_ui.SortGrid1;
    m_grid.setHeadings(rows.value(0));
    if (!rows.isEmpty())
        rows.removeFirst();
    const qsizetype starters = rows.size();
    for (QStringList &row : rows)
        row.resize(ProtocolColumnCount);
    grid->setDataRows(std::move(rows));
    // Ranked before the lists are made, so that they follow the grid from its first row.
    if (rank)
        m_grid.RankProtocol();
    // One starter per data row, so both lists stay parallel to the grid: its first five cells.
    QStringList items;
    QStringList headNumbers;
    items.reserve(starters);
    headNumbers.reserve(starters);
    for (int r = 1; r <= starters; ++r) {
        const QStringList row = grid->rowTexts(r);
        items << StarterItem(row);
        headNumbers << row.value(ColHeadNumber);
    }
    m_starters.setStarters(items, headNumbers);
    m_protocol.UpdateProtocolButtons();
}

void ProtocolFiles::sbSaveClick()
{
    int entry = Settings.FiltInd;
    QString fileName = fileDialogs().getSaveFileName(
        m_ui.form, dialogFolder(), DefaultExportName(QDateTime::currentDateTime()),
        filterLabels(m_saveEntries), &entry);
    if (fileName.isEmpty())
        return;
    Settings.FiltInd = Settings.FilterInd = entry;
    const FileKind kind = kindOfEntry(m_saveEntries, entry);
    const FileFilterEntry chosen = m_saveEntries.value(entry - 1, m_saveEntries.constFirst());
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += chosen.pattern.mid(1); // "*.txt" → ".txt"
    m_folder = QFileInfo(fileName).absolutePath();
    // Drawn before a long export, without handling other input in the middle of this command.
    m_ui.form->repaint();
    switch (kind) {
    case FileKind::Text:
        ExportTextList(fileName);
        break;
    case FileKind::Csv:
        SaveAsCsv(fileName);
        break;
    case FileKind::TorisDbf:
        m_toris.ExportTorisDbf(fileName);
        break;
    case FileKind::Html:
        ExportHtml(fileName);
        break;
    case FileKind::Excel:
        m_office.ExportExcelWorkbook(fileName);
        break;
    case FileKind::Word:
        m_office.ExportWordDocument(1, fileName);
        break;
    }
}

QString ProtocolFiles::dialogFolder()
{
    // Decided at first use; the folder chosen last wins from then on.
    if (m_folder.isEmpty())
        m_folder =
            dialogStartFolder(QCoreApplication::applicationDirPath(),
                              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return m_folder;
}

bool ProtocolFiles::writeFile(const QString &fileName, const QByteArray &contents,
                              const QString &failure)
{
    QString reason;
    if (writeWholeFile(fileName, contents, reason))
        return true;
    messageBoxes().error(m_ui.form, failure.arg(QDir::toNativeSeparators(fileName), reason));
    return false;
}

bool ProtocolFiles::ExportTextList(const QString &fileName)
{
    return writeFile(fileName, writeTextProtocol(m_live.snapshot()->protocol));
}

bool ProtocolFiles::SaveAsCsv(const QString &fileName)
{
    return writeFile(fileName, writeCsv(m_live.snapshot()->protocol));
}

HtmlReportTexts ProtocolFiles::reportTexts(const LiveSnapshot &snapshot)
{
    return {LanguageText(LanguageLine::ProtocolTitle), snapshot.competition.title1,
            snapshot.competition.title2};
}

bool ProtocolFiles::ExportHtml(const QString &fileName)
{
    const auto snapshot = m_live.snapshot();
    return writeFile(fileName, htmlReport(snapshot->protocol, reportTexts(*snapshot)), HtmlFailure);
}

void ProtocolFiles::sbHTMLClick(int tag)
{
    const QString fileName =
        QDir::current().absoluteFilePath(programBaseName() + QStringLiteral(".html"));
    // The page and its printout show the same moment, whatever changes while the printer is
    // chosen.
    const auto snapshot = m_live.snapshot();
    const QList<QStringList> &rows = snapshot->protocol;
    const HtmlReportTexts texts = reportTexts(*snapshot);
    // An older page of that name must not stand in for this one.
    if (!writeFile(fileName, htmlReport(rows, texts), HtmlFailure))
        return;
    if (tag == 0) {
        desktopOpener().openUrl(QUrl::fromLocalFile(fileName));
    } else if (tag == 1) {
        bool failed = false;
        pagePrinter().print(
            m_ui.form, [&](QPrinter &printer) { return printReport(printer, rows, texts); },
            &failed);
        if (failed)
            messageBoxes().error(m_ui.form, QStringLiteral("Das Protokoll konnte nicht gedruckt "
                                                           "werden."));
    }
}
