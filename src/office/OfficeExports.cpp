#include "OfficeExports.h"

#include "ClipboardText.h"
#include "DataFiles.h"
#include "DesktopOpener.h"
#include "LanguageFiles.h"
#include "LiveState.h"
#include "MessageBoxes.h"
#include "ProtocolRow.h"
#include "TFormMainUi.h"
#include "TLbSpeedButton.h"
#include "TextProtocol.h"
#include "WholeFile.h"
#include "WordDocument.h"
#include "WorkbookWriter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QStandardPaths>
#include <QUrl>

namespace {
// Restores the cursor however the export ends.
struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

OfficeExports::OfficeExports(TFormMainUi &ui, LiveState &live, QObject *parent)
    : QObject(parent), m_ui(ui), m_live(live)
{
    connect(m_ui.sbWord, &QToolButton::clicked, this, &OfficeExports::sbWordClick);
    connect(m_ui.sbExcel, &QToolButton::clicked, this, &OfficeExports::sbExcelClick);
    connect(m_ui.Copy1, &QAction::triggered, this, &OfficeExports::Copy1Click);
}

QString OfficeExports::wordTemplatePath()
{
    const QString name = programBaseName() + QStringLiteral(".docx");
    const QFileInfo own(QDir(userLanguageFolder()), name);
    return own.isFile() ? own.absoluteFilePath() : findDataFile(name);
}

QString OfficeExports::documentsFile(const QString &extension) const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    QDir().mkpath(folder);
    return QDir(folder).filePath(DefaultExportName(QDateTime::currentDateTime()) + extension);
}

void OfficeExports::sbWordClick()
{
    ExportWordDocument(0, documentsFile(QStringLiteral(".docx")));
}

bool OfficeExports::ExportWordDocument(int mode, const QString &fileName)
{
    BusyCursor busy;
    QByteArray templateBytes, bytes;
    QString reason;
    const QString templatePath = wordTemplatePath();
    if ((!templatePath.isEmpty() &&
         !readWholeFile(templatePath, MaxTemplatePartBytes, templateBytes, reason)) ||
        !wordDocumentBytes(protocolRows(*m_live.snapshot()), templateBytes, bytes, reason)) {
        messageBoxes().error(m_ui.form,
                             QStringLiteral("Das Word-Dokument kann nicht erstellt werden:\n%1\n%2")
                                 .arg(QDir::toNativeSeparators(templatePath), reason));
        return false;
    }
    if (!writeFile(fileName, bytes))
        return false;
    if (mode == 0)
        desktopOpener().openUrl(QUrl::fromLocalFile(fileName));
    return true;
}

void OfficeExports::sbExcelClick()
{
    ShowInExcel();
}

bool OfficeExports::ShowInExcel()
{
    const QString fileName = documentsFile(QStringLiteral(".xlsx"));
    if (!writeWorkbook(fileName, *m_live.snapshot(), QApplication::applicationName()))
        return false;
    desktopOpener().openUrl(QUrl::fromLocalFile(fileName));
    return true;
}

bool OfficeExports::ExportExcelWorkbook(const QString &fileName)
{
    const auto snapshot = m_live.snapshot();
    return writeWorkbook(fileName, *snapshot, snapshot->competition.title2);
}

bool OfficeExports::writeWorkbook(const QString &fileName, const LiveSnapshot &snapshot,
                                  const QString &subject)
{
    BusyCursor busy;
    const QList<QStringList> rows = protocolRows(snapshot);
    QList<bool> numeric;
    for (int c = 0; c < ProtocolColumnCount; ++c)
        numeric << (c >= ColRideTime);
    const WorkbookProperties properties{QStringLiteral("Ostrel Software"),
                                        snapshot.competition.title1, subject,
                                        QApplication::applicationName()};
    QByteArray bytes;
    QString reason;
    if (!workbookBytes(rows, numeric, properties, bytes, reason)) {
        fail(fileName, reason);
        return false;
    }
    return writeFile(fileName, bytes);
}

void OfficeExports::Copy1Click()
{
    QGuiApplication::clipboard()->setText(clipboardText(m_live.snapshot()->protocol));
}

QList<QStringList> OfficeExports::protocolRows(const LiveSnapshot &snapshot)
{
    // The grid's rows have every column already: shared, not copied.
    QList<QStringList> rows = snapshot.protocol;
    for (qsizetype r = 0; r < rows.size(); ++r)
        if (rows.at(r).size() != ProtocolColumnCount)
            rows[r].resize(ProtocolColumnCount);
    return rows;
}

bool OfficeExports::writeFile(const QString &fileName, const QByteArray &bytes)
{
    QString reason;
    if (writeWholeFile(fileName, bytes, reason))
        return true;
    fail(fileName, reason);
    return false;
}

void OfficeExports::fail(const QString &fileName, const QString &reason)
{
    messageBoxes().error(m_ui.form, QStringLiteral("Can't write to file:\n%1\n%2")
                                        .arg(QDir::toNativeSeparators(fileName), reason));
}
