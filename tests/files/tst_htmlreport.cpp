#include "FakeOpener.h"
#include "MainWindowFixture.h"

#include "HtmlReport.h"
#include "PagePrinter.h"

#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

namespace {

const QStringList Headings{"St.Nr", "KoNr.", "Pferd/Pony", "Reitername", "Verein", "R.-Zeit",
                           "ZF",    "Straf", "Fehler",     "Punkte",     "Zeit",   "Rang"};

QStringList row(const QString &rider, const QString &time, const QString &rank)
{
    return {"7", "102", "Corrado", rider, "RV Ost", time, "0,00", "4", "4", "4,00", time, rank};
}

// Prints into a PDF file instead of asking for a printer.
class PdfPrinter : public PagePrinter
{
public:
    PdfPrinter() { setPagePrinter(this); }
    ~PdfPrinter() override { setPagePrinter(nullptr); }
    bool print(QWidget *, const Render &render, bool *failed) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(fileName);
        ++prints;
        *failed = !render(printer);
        return !*failed;
    }
    QString fileName;
    int prints = 0;
};

// Runs a test in a working folder of its own.
class WorkingFolder
{
public:
    explicit WorkingFolder(const QString &path = {})
    {
        QDir::setCurrent(path.isEmpty() ? m_dir.path() : path);
    }
    ~WorkingFolder() { QDir::setCurrent(m_former); }
    QString file(const QString &name) const { return QDir::current().filePath(name); }

private:
    QString m_former = QDir::currentPath();
    QTemporaryDir m_dir;
};

} // namespace

class tst_HtmlReport : public QObject
{
    Q_OBJECT
private slots:
    void goldenPage();
    void cells_data();
    void cells();
    void emptyHeadingLinesAndEmptyRow();
    void showSaveAndFailure();
    void printsOnSeveralPages();
};

void tst_HtmlReport::goldenPage()
{
    const QByteArray page =
        htmlReport({Headings, row("Anna Ölz", "61,27", "1"), row("Ben", "", "")},
                   {"Zeitenprotokoll", "Großer Preis", ""});
    const QByteArray expected =
        "<html><head><title>Rittmeter</title>\r\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
        "<style type=\"text/css\">\r\n<!--\r\nbody {font-family:Verdana;\r\n"
        "scrollbar-track-color:#F9F9E6;\r\nscrollbar-face-color:#B0A786}\r\n"
        "table {font-size:10pt}\r\na:hover{text-decoration:none; background-color:#E2E6CB}\r\n"
        "-->\r\n</style></head>\r\n<body bgcolor=#F9F9E6>\r\n"
        "<div style=\"width:100%; color:#A37E4E; filter:Glow(color=0, strength=6)\">\r\n"
        "<h1>Zeitenprotokoll</h1>\r\n</div><b>Gro\xC3\x9F"
        "er Preis<br>\r\n"
        "</b><br><table style=\"BORDER-COLLAPSE: collapse\" bgcolor=#FFFFFF borderColor=#E0E0E0 "
        "border=1 cellpadding=4 width=649>\r\n"
        "<colgroup valign=top> <col align=right> <col> <col> <col align=right> <col> "
        "<col align=right> <col align=right> <col align=right> <col align=right></colgroup>\r\n"
        "<thead bgcolor=#B0A786><tr>\r\n"
        "<th>Rang</th>\r\n<th nowrap>Reitername</th>\r\n<th>Pferd/Pony</th>\r\n"
        "<th>KoNr.</th>\r\n<th>Verein</th>\r\n<th>R.-Zeit</th>\r\n<th>Straf</th>\r\n"
        "<th>Punkte</th>\r\n<th>Zeit</th>\r\n</tr></thead>\r\n"
        "<tr><td>1<td>Anna \xC3\x96lz<td>Corrado<td>102<td>RV Ost<td>61.27<td>4<td>4.00<td>61.27"
        "</tr>\r\n"
        "<tr><td>&nbsp;<td>Ben<td>Corrado<td>102<td>RV Ost<td>&nbsp;<td>4<td>4.00<td>&nbsp;"
        "</tr>\r\n"
        "</table>\r\n<FONT face=Arial size=4><B><p align=right>Rittmeter</p>\r\n"
        "</body></html>\r\n";
    QCOMPARE(page, expected);
}

void tst_HtmlReport::cells_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("shown");
    QTest::newRow("decimal comma") << "12,35"
                                   << "12.35";
    QTest::newRow("only the first comma") << "1,2,3"
                                          << "1.2,3";
    QTest::newRow("empty") << ""
                           << "&nbsp;";
    QTest::newRow("markup shows as typed") << "<b>Tom & Jerry</b>"
                                           << "&lt;b&gt;Tom &amp; Jerry&lt;/b&gt;";
    QTest::newRow("quotes") << "\"Fly\""
                            << "&quot;Fly&quot;";
}

void tst_HtmlReport::cells()
{
    QFETCH(QString, cell);
    QTEST(htmlCell(cell), "shown");
}

void tst_HtmlReport::emptyHeadingLinesAndEmptyRow()
{
    QStringList headings = Headings;
    headings[3] = "<Reiter>";
    const QString page =
        QString::fromUtf8(htmlReport({headings, QStringList(12)}, {"A & B", "", ""}));
    QVERIFY(page.contains("<h1>A &amp; B</h1>\r\n</div><b></b><br><table style="));
    QVERIFY(page.contains("<th nowrap>&lt;Reiter&gt;</th>"));
    QVERIFY(page.contains("</thead>\r\n<tr>" + QString("<td>&nbsp;").repeated(9) +
                          "</tr>\r\n</table>"));
}

void tst_HtmlReport::showSaveAndFailure()
{
    MainWindowFixture f;
    FakeOpener opener;
    PdfPrinter printer;
    f.ui.SortGrid1->setDataRows({row("Anna", "61,27", "1")});
    f.ui.eFText1->setText("<i>Cup</i>");
    f.window->protocol().UpdateProtocolButtons();
    {
        WorkingFolder folder;
        f.ui.sbHTML->click();
        const QString page = QString::fromUtf8(fileBytes(folder.file("rittmeter.html")));
        QVERIFY(page.contains("<td>Anna<td>"));
        QVERIFY(page.contains("&lt;i&gt;Cup&lt;/i&gt;<br>"));
        QCOMPARE(opener.opened, QList<QUrl>{QUrl::fromLocalFile(folder.file("rittmeter.html"))});

        QCOMPARE(opener.opened.size(), 1);
        QCOMPARE(printer.prints, 0);
    }
    {
        // Nobody, not even root, creates a file here.
        WorkingFolder folder(QStringLiteral("/proc"));
        f.ui.sbHTML->click();
        f.key(Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(f.boxes.messages.size(), 2);
        QVERIFY(f.boxes.messages[0].startsWith(
            "Löschen Sie die alte Webseite oder speichern Sie diese unter einem anderen Namen: "
            "/proc/rittmeter.html"));
        QCOMPARE(opener.opened.size(), 1);
        QCOMPARE(printer.prints, 0);
    }
}

void tst_HtmlReport::printsOnSeveralPages()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils) reads the printout");
    MainWindowFixture f;
    PdfPrinter printer;
    QTemporaryDir dir;
    WorkingFolder folder;
    printer.fileName = dir.filePath(QStringLiteral("print.pdf"));
    QList<QStringList> rows;
    for (int n = 1; n <= 200; ++n)
        rows << row(QStringLiteral("Reiterin %1").arg(n), "61,27", QString::number(n));
    f.ui.SortGrid1->setDataRows(rows);
    f.window->protocol().UpdateProtocolButtons();
    f.ui.Drucker1->trigger();
    QCOMPARE(printer.prints, 1);

    QProcess text;
    text.start(pdftotext, {printer.fileName, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    const qsizetype pages = printed.count(QLatin1Char('\f'));
    QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
    QVERIFY(printed.contains(QStringLiteral("Reiterin 200")));
    QVERIFY(printed.contains(QStringLiteral("Zeitenprotokoll")));
    // The heading row stands on every page.
    QCOMPARE(printed.count(QStringLiteral("Reitername")), pages);
}

QTEST_MAIN(tst_HtmlReport)
#include "tst_htmlreport.moc"
