#include "OfficeExports.h"

#include "ClipboardText.h"
#include "DataFiles.h"
#include "DesktopOpener.h"
#include "LanguageFiles.h"
#include "MessageBoxes.h"
#include "ProtocolRow.h"
#include "TFormMainUi.h"
#include "TLbSpeedButton.h"
#include "TSortGrid.h"
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
#include <QLineEdit>
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

OfficeExports::OfficeExports(TFormMainUi &ui, QObject *parent) : QObject(parent), m_ui(ui)
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
        !wordDocumentBytes(visibleRows(), templateBytes, bytes, reason)) {
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
    if (!writeWorkbook(fileName, QApplication::applicationName()))
        return false;
    desktopOpener().openUrl(QUrl::fromLocalFile(fileName));
    return true;
}

bool OfficeExports::ExportExcelWorkbook(const QString &fileName)
{
    return writeWorkbook(fileName, m_ui.eFText2->text());
}

bool OfficeExports::writeWorkbook(const QString &fileName, const QString &subject)
{
    BusyCursor busy;
    QList<int> columns;
    const QList<QStringList> rows = visibleRows(&columns);
    QList<bool> numeric;
    for (int c : columns)
        numeric << (c >= ColRideTime);
    const WorkbookProperties properties{QStringLiteral("Ostrel Software"), m_ui.eFText1->text(),
                                        subject, QApplication::applicationName()};
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
    QGuiApplication::clipboard()->setText(clipboardText(m_ui.SortGrid1->allRowTexts()));
}

QList<QStringList> OfficeExports::visibleRows(QList<int> *columns) const
{
    const TSortGrid *grid = m_ui.SortGrid1;
    QList<int> visible;
    for (int c = 0; c < ProtocolColumnCount; ++c)
        if (!grid->isColumnHidden(c))
            visible << c;
    QList<QStringList> rows;
    for (const QStringList &all : grid->allRowTexts()) {
        QStringList row;
        for (int c : visible)
            row << all.value(c);
        rows << row;
    }
    if (columns)
        *columns = visible;
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
