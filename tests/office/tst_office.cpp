#include "FakeFileDialogs.h"
#include "FakeOpener.h"
#include "MainWindowFixture.h"

#include "ClipboardText.h"
#include "OfficeExports.h"
#include "ProtocolGrid.h"
#include "ProtocolRow.h"
#include "WordDocument.h"
#include "WorkbookReader.h"
#include "WorkbookWriter.h"

#include <QClipboard>

#include <quazip.h>
#include <quazipfile.h>

namespace {

// A part of a zip file, unpacked.
QByteArray zipPart(const QString &zipFile, const QString &part)
{
    QuaZip zip(zipFile);
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(part))
        return {};
    QuaZipFile file(&zip);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Debian's python, which has openpyxl and python-docx; the tool on the PATH may not.
QString runPython(const QString &script, const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()) +
           QString::fromUtf8(p.readAllStandardError());
}

// What a script prints, trimmed, about bytes written into a file of that name (its sys.argv[1]).
QString pythonReads(const QByteArray &bytes, const QString &name, const QString &script)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    return writeBytes(path, bytes) ? runPython(script, {path}).trimmed() : QString();
}

} // namespace

class tst_Office : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void clipboard()
    {
        MainWindowFixture f;
        // A decimal comma is copied as it is; a semicolon, a quote or a line break puts the cell in
        // quotes.
        QStringList row = protocolRow("Say \"Hi\"", "61,27", "4,00");
        row[ColHorse] = QStringLiteral("a\nb");
        row[ColClub] = QStringLiteral("12;5");
        f.ui.SortGrid1->setDataRows({row});
        f.ui.Copy1->trigger();
        const QStringList lines =
            QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
        QVERIFY(lines.size() == 3 && lines[2].isEmpty()); // two lines, each ended
        row[ColHorse] = QStringLiteral("\"a\nb\"");
        row[ColRider] = QStringLiteral("\"Say \"\"Hi\"\"\"");
        row[ColClub] = QStringLiteral("\"12;5\"");
        QCOMPARE(lines[1].split(QLatin1Char('\t')), row);
    }

    void workbookRoundTrip()
    {
        MainWindowFixture f;
        FakeFileDialogs dialogs;
        FakeOpener opener;
        f.ui.eFText1->setText(QStringLiteral("Großer Preis"));
        f.ui.eFText2->setText(QStringLiteral("Springprüfung Kl. L"));
        f.ui.SortGrid1->setDataRows({protocolRow("Anna Ölz", "61,27"),
                                     protocolRow("Ben", "EL", "EL"),
                                     protocolRow("Cleo", "59,10", "0,00")});
        f.window->protocol().UpdateProtocolButtons();
        // Reading a workbook ranks the protocol; ranked once, it stays as it is.
        f.window->protocolGrid().RankProtocol();
        const QList<QStringList> before = gridRows(f.ui.SortGrid1);
        dialogs.answers = {{f.dir.filePath(QStringLiteral("p")), 3}};
        f.key(Qt::Key_S, Qt::ControlModifier);
        const QString book = f.dir.filePath(QStringLiteral("p.xlsx"));
        QVERIFY(opener.opened.isEmpty());
        const QString core = QString::fromUtf8(zipPart(book, QStringLiteral("docProps/core.xml")));
        QVERIFY(core.contains("Ostrel Software") && core.contains("Großer Preis") &&
                core.contains("<dc:subject>Springprüfung Kl. L</dc:subject>"));
        QVERIFY(zipPart(book, QStringLiteral("xl/workbook.xml")).contains("name=\"Rittmeter\""));

        // Times and points are numbers a spreadsheet can sum; start numbers stay text.
        const QString script = QStringLiteral(
            "import sys, openpyxl\n"
            "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
            "print(type(ws['F2'].value).__name__, ws['F2'].value, ws['J2'].number_format,\n"
            "      type(ws['A2'].value).__name__, ws['F4'].value, ws['A1'].font.b)\n");
        QCOMPARE(runPython(script, {book}).trimmed(),
                 QStringLiteral("float 59.1 0.00 str EL True"));

        f.ui.SortGrid1->setDataRows({QStringList(12)});
        dialogs.answers = {{book, 3}};
        f.key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(gridRows(f.ui.SortGrid1), before);
        QCOMPARE(f.ui.cbStNr->count(), 3);
    }

    void workbookOfStrayCells()
    {
        // Half a surrogate pair, from a broken list; points and time faults written where the
        // locale has a decimal point.
        const QString broken = QStringLiteral("Ann") + QChar(0xD800) + QStringLiteral("a");
        QStringList row = protocolRow(broken, "61,27", "4.00");
        row[ColTimeFaults] = QStringLiteral("0.25");
        QList<bool> numeric(ProtocolColumnCount, true);
        std::fill_n(numeric.begin(), int(ColRideTime), false);
        QByteArray bytes;
        QString reason;
        QVERIFY2(workbookBytes({QStringList(ProtocolColumnCount, QStringLiteral("Kopf")), row},
                               numeric, {QStringLiteral("Ostrel Software"), broken, {}, broken},
                               bytes, reason),
                 qPrintable(reason));
        const QString script = QStringLiteral(
            "import sys, openpyxl\n"
            "wb = openpyxl.load_workbook(sys.argv[1]); ws = wb.worksheets[0]\n"
            "print(ascii(ws['D2'].value), ws['J2'].value, ws['J2'].number_format, ws['G2'].value,\n"
            "      ascii(wb.properties.title), ascii(ws.title))\n");
        QCOMPARE(pythonReads(bytes, QStringLiteral("b.xlsx"), script),
                 QStringLiteral("'Ann\\ufffda' 4.0 0.00 0.25 'Ann\\ufffda' 'Ann\\ufffda'"));
    }

    void columnHiddenInGridKept()
    {
        MainWindowFixture f;
        FakeOpener opener;
        f.ui.SortGrid1->setDataRows({protocolRow("Anna", "61,27", "4,00")});
        f.ui.SortGrid1->setColWidth(ColTimeFaults, -1);
        f.window->files().office().sbWordClick();
        f.window->files().office().sbExcelClick();
        QCOMPARE(opener.opened.size(), 2);
        const QString document = opener.opened[0].toLocalFile(),
                      book = opener.opened[1].toLocalFile();
        QVERIFY(document.endsWith(".docx") && book.endsWith(".xlsx") &&
                document.startsWith(
                    QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
        const QByteArray body = zipPart(document, QStringLiteral("word/document.xml"));
        QCOMPARE(body.count("<w:gridCol/>"), int(ProtocolColumnCount));
        QVERIFY(zipPart(book, QStringLiteral("docProps/core.xml"))
                    .contains("<dc:subject>Rittmeter</dc:subject>"));
        QList<QStringList> rows;
        QString reason;
        QVERIFY2(readWorkbook(book, rows, reason), qPrintable(reason));
        QCOMPARE(rows.value(0), f.ui.SortGrid1->rowTexts(0)); // no column left out, none moved
        QFile::remove(document);
        QFile::remove(book);
    }

    // Read by another program, on its own and in a letterhead kept as it was.
    void documentReadByAnotherProgram()
    {
        QTemporaryDir dir;
        const QString templ = dir.filePath(QStringLiteral("t.docx"));
        // Its page set-up carries a tracked change, which holds section properties of its own.
        QVERIFY(runPython(
                    QStringLiteral("import sys, docx\nfrom docx.oxml import OxmlElement\n"
                                   "from docx.oxml.ns import qn\nd = docx.Document()\n"
                                   "d.add_paragraph('Reitverein Ost - Briefkopf')\n"
                                   "change = OxmlElement('w:sectPrChange')\n"
                                   "change.set(qn('w:id'), '1'); change.set(qn('w:author'), 'O')\n"
                                   "change.append(OxmlElement('w:sectPr'))\n"
                                   "d.sections[0]._sectPr.append(change); d.save(sys.argv[1])\n"),
                    {templ})
                    .isEmpty());
        const QByteArray templateBytes = fileBytes(templ);
        const QString script = QStringLiteral(
            "import sys, docx\nd = docx.Document(sys.argv[1]); t = d.tables[0]\n"
            "print([p.text for p in d.paragraphs if p.text], len(d.tables), len(t.rows),\n"
            "      len(t.columns), '|'.join(c.text for c in t.rows[1].cells),\n"
            "      d.styles['Normal'] is not None)\n");
        const QList<QStringList> rows{{"St.Nr", "Reiter", "Zeit"}, {"1", "Tom & <Jerry>", "61,27"}};
        QByteArray bytes;
        QString reason;
        QVERIFY2(wordDocumentBytes(rows, {}, bytes, reason), qPrintable(reason));
        QCOMPARE(pythonReads(bytes, QStringLiteral("d.docx"), script),
                 QStringLiteral("[] 1 2 3 1|Tom & <Jerry>|61,27 True"));
        QVERIFY2(wordDocumentBytes(rows, templateBytes, bytes, reason), qPrintable(reason));
        QCOMPARE(pythonReads(bytes, QStringLiteral("d.docx"), script),
                 QStringLiteral("['Reitverein Ost - Briefkopf'] 1 2 3 1|Tom & <Jerry>|61,27 True"));
        QVERIFY(!wordDocumentBytes({{"A"}}, QByteArray("no zip"), bytes, reason));
    }

    void listEndsAtFirstRowWithoutStartNumber()
    {
        MainWindowFixture f;
        const QString book = f.dir.filePath(QStringLiteral("starters.xlsx"));
        // Results in file order, not ranked; notes far below and right of the list.
        const QString script = QStringLiteral(
            "import sys, openpyxl\nwb = openpyxl.Workbook(); ws = wb.active; e = [''] * 4\n"
            "ws.append(['St.Nr', 'KoNr.', 'Pferd', 'Reiter', 'Verein', 'R.-Zeit', 'ZF', 'Straf',\n"
            "           'Fehler', 'Punkte', 'Zeit'])\n"
            "ws.append([12, 101, 'Corrado', 'Anna', 'RV Ost'] + e + ['4,00', '70,10'])\n"
            "ws.append([13, 102, 'Fly', 'Ben', 'RV West'] + e + ['0,00', '65,00'])\n"
            "ws.append([None, 103, 'Gone', 'Cleo']); ws.append([15, 104, 'After', 'Dora'])\n"
            "for r, c in ((200000, 1), (2, 2000)): ws.cell(row=r, column=c, value='Notiz')\n"
            "wb.save(sys.argv[1])\n");
        const QString made = runPython(script, {book});
        QVERIFY2(made.isEmpty(), qPrintable(made));
        QVERIFY(f.window->files().ImportExcelWorkbook(book));
        QCOMPARE(f.ui.SortGrid1->gridRowCount(), 3);
        QCOMPARE(f.ui.SortGrid1->rowTexts(1).mid(0, 4), (QStringList{"13", "102", "Fly", "Ben"}));
        // The lists follow the ranked grid, at its first row.
        QCOMPARE(f.ui.SortGrid1->cells(ColRank, 1), QStringLiteral("1"));
        QCOMPARE(f.window->starters().items(),
                 (QStringList{"13\t102\tFly\tBen\tRV West\t", "12\t101\tCorrado\tAnna\tRV Ost\t"}));
        QCOMPARE(f.window->starters().headNumbers(), (QStringList{"102", "101"}));
        QVERIFY(f.ui.cbStNr->currentIndex() == 0 && f.ui.SortGrid1->currentGridRow() == 1 &&
                f.ui.ePferd->text() == "Fly");
    }

    void failedReadsAndWrites()
    {
        MainWindowFixture f;
        f.ui.SortGrid1->setDataRows({protocolRow("Anna", "61,27", "4,00")});
        const QList<QStringList> before = gridRows(f.ui.SortGrid1);
        const QString fake = f.dir.filePath(QStringLiteral("list.xlsx"));
        writeBytes(fake, "St.Nr\tKoNr.\r\n1\t2\r\n");
        QVERIFY(!f.window->files().ImportExcelWorkbook(fake));
        QCOMPARE(gridRows(f.ui.SortGrid1), before);
        QCOMPARE(f.boxes.messages.size(), 1);
        QVERIFY(f.boxes.messages[0].contains(QDir::toNativeSeparators(fake)));

        // A workbook that cannot be written leaves the former file as it was.
        const QString kept = f.dir.filePath(QStringLiteral("kept"));
        QDir().mkdir(kept);
        QVERIFY(!f.window->files().office().ExportExcelWorkbook(kept));
        QVERIFY(!f.window->files().office().ExportWordDocument(1, QStringLiteral("/proc/x.docx")));
        QCOMPARE(f.boxes.messages.size(), 3);
        QVERIFY(f.boxes.messages[2].contains("/proc/x.docx") && QFileInfo(kept).isDir());
    }
};

QTEST_MAIN(tst_Office)
#include "tst_office.moc"
