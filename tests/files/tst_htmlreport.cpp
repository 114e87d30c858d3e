#include "FakeOpener.h"
#include "MainWindowFixture.h"

#include "HtmlReport.h"
#include "PagePrinter.h"
#include "ProtocolRow.h"
#include "ReportLayout.h"
#include "ReportPrint.h"

#include <QPrinter>

namespace {

const QStringList Headings{"St.Nr", "KoNr.", "Pferd/Pony", "Reitername", "Verein", "R.-Zeit",
                           "ZF",    "Straf", "Fehler",     "Punkte",     "Zeit",   "Rang"};

// A printout's text as pdftotext (poppler-utils) reads it, each page ended by a form feed.
QString pdfText(const QString &fileName)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {fileName, QStringLiteral("-")});
    text.waitForFinished(30000);
    return QString::fromUtf8(text.readAllStandardOutput());
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
        if (meanwhile) // while the dialog is open
            meanwhile();
        *failed = !render(printer);
        return !*failed;
    }
    QString fileName;
    int prints = 0;
    std::function<void()> meanwhile;
};

// Runs a test in another working folder.
class WorkingFolder
{
public:
    explicit WorkingFolder(const QString &path) { QDir::setCurrent(path); }
    ~WorkingFolder() { QDir::setCurrent(m_former); }
    QString file(const QString &name) const { return QDir::current().filePath(name); }

private:
    QString m_former = QDir::currentPath();
};

using Widths = QList<int>;

} // namespace

class tst_HtmlReport : public QObject
{
    Q_OBJECT
private slots:
    void goldenPage()
    {
        QStringList headings = Headings; // a loaded list's own headings may hold markup
        headings[3] = "Reiter<in>";
        const QByteArray page = htmlReport(
            {headings, protocolRow("Anna Ölz", "61,27"), protocolRow("Ben", "", "4,00", "")},
            {"Zeitenprotokoll", "Großer Preis", ""});
        QVERIFY(
            page.startsWith("<html><head><title>Rittmeter</title>\r\n<meta http-equiv=\"Content-"
                            "Type\" content=\"text/html; charset=utf-8\">\r\n"));
        // Numbers right-aligned and never wrapped.
        QVERIFY(page.contains(
            "th:nth-child(1), td:nth-child(1), th:nth-child(4), td:nth-child(4), th:nth-child(6), "
            "td:nth-child(6), th:nth-child(7), td:nth-child(7), th:nth-child(8), td:nth-child(8), "
            "th:nth-child(9), td:nth-child(9) {text-align:right; white-space:nowrap}\r\n"));
        QVERIFY(page.contains("<h1>Zeitenprotokoll</h1>\r\n</div><b>Gro\xC3\x9F"
                              "er Preis<br>\r\n</b><br><table "));
        const QByteArray expected =
            "<th>Rang</th>\r\n<th nowrap>Reiter&lt;in&gt;</th>\r\n<th>Pferd/Pony</th>\r\n"
            "<th>KoNr.</th>\r\n<th>Verein</th>\r\n<th>R.-Zeit</th>\r\n<th>Straf</th>\r\n"
            "<th>Punkte</th>\r\n<th>Zeit</th>\r\n</tr></thead>\r\n"
            "<tr><td>1<td>Anna \xC3\x96lz<td>Corrado<td>102<td>RV Ost<td>61.27<td>4<td>4.00"
            "<td>61.27</tr>\r\n"
            "<tr><td>&nbsp;<td>Ben<td>Corrado<td>102<td>RV Ost<td>&nbsp;<td>4<td>4.00<td>&nbsp;"
            "</tr>\r\n"
            "</table>\r\n<FONT face=Arial size=4><B><p align=right>Rittmeter</p>\r\n"
            "</body></html>\r\n";
        QCOMPARE(page.mid(page.indexOf("<th>")), expected);
    }

    // The decimal comma, only the first; empty; markup and quotes show as typed.
    void cells()
    {
        const QStringList cells{"12,35", "1,2,3", "", "<b>Tom & Jerry</b>", "\"Fly\""};
        const QStringList shown{"12.35", "1.2,3", "&nbsp;", "&lt;b&gt;Tom &amp; Jerry&lt;/b&gt;",
                                "&quot;Fly&quot;"};
        for (int i = 0; i < cells.size(); ++i)
            QCOMPARE(htmlCell(cells[i]), shown[i]);
    }

    void showSaveAndFailure()
    {
        MainWindowFixture f;
        FakeOpener opener;
        PdfPrinter printer;
        f.ui.SortGrid1->setDataRows({protocolRow("Anna", "61,27")});
        f.ui.eFText1->setText("<i>Cup</i>");
        f.window->protocol().UpdateProtocolButtons();
        {
            WorkingFolder folder(f.dir.path());
            f.ui.sbHTML->click();
            const QString page = QString::fromUtf8(fileBytes(folder.file("rittmeter.html")));
            QVERIFY(page.contains("<td>Anna<td>") && page.contains("&lt;i&gt;Cup&lt;/i&gt;<br>"));
            QCOMPARE(opener.opened,
                     QList<QUrl>{QUrl::fromLocalFile(folder.file("rittmeter.html"))});
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
            QVERIFY(opener.opened.size() == 1 && printer.prints == 0);
        }
    }

    // Rank, rider, horse, head number, club, then four number columns; without widths the font
    // has to become smaller. Number columns have no least: they never shrink.
    void columnWidths()
    {
        const Widths names{10, 100, 40, 10, 300, 10, 10, 10, 10};
        for (const auto &[natural, page, expected] :
             {std::tuple{Widths{10, 50, 50, 10, 50, 10, 10, 10, 10}, 420, // all widen to fill
                         Widths{20, 100, 100, 20, 100, 20, 20, 20, 20}},
              {names, 260, Widths{10, 80, 40, 10, 80, 10, 10, 10, 10}}, // the widest give way
              {names, 261, Widths{10, 81, 40, 10, 80, 10, 10, 10, 10}}, // a spare pixel
              {names, 219, Widths{}}}) {
            std::array<int, 9> wide{}, least{};
            std::copy(natural.begin(), natural.end(), wide.begin());
            least.fill(60);
            const auto widths = reportColumnWidths(wide, least, page);
            QCOMPARE(widths ? Widths(widths->begin(), widths->end()) : Widths{}, expected);
        }
    }

    void longTextsPrintWhole_data()
    {
        QTest::addColumn<QStringList>("headings");
        QTest::addColumn<QString>("club");
        const QString rv = QStringLiteral("Reit- und Fahrverein Großostheim e.V.");
        QTest::newRow("names of a real list") << Headings << rv;
        const QString longWord =
            QStringLiteral("Pferdesportgemeinschaftsvereinigungsgeschäftsstelle ");
        QTest::newRow("club wider than the page") << Headings << longWord + rv + rv + rv + rv;
        const QStringList language =
            QStringLiteral("St.Nr|Kopfnummer|Pferd/Pony|Reitername|Verein|Zeit im Umlauf|ZF|"
                           "Strafpunkte|Fehler|Punkte gesamt|Gesamtzeit im Stechen|Platzierung")
                .split(QLatin1Char('|'));
        QTest::newRow("long headings and words: a smaller font") << language << longWord + rv;
    }

    // The printout the print command makes, on several pages: every time, rank, head number and
    // heading reads back whole, however long the names beside them, and the headings stand on
    // every page.
    void longTextsPrintWhole()
    {
        QFETCH(QStringList, headings);
        QFETCH(QString, club);
        QList<QStringList> rows;
        for (int n = 1; n <= 60; ++n) {
            const QString time =
                QStringLiteral("%1,%2").arg(60 + n / 10).arg(n * 7 % 100, 2, 10, QChar('0'));
            rows << protocolRow("Anna-Katharina Müller-Lüdenscheidt", time, "4,00",
                                QString::number(10 + n));
            rows.last()[1] = QString::number(500 + n);
            rows.last()[2] = "Quintessenz van de Helle Hoeve Z";
            rows.last()[4] = club;
        }
        MainWindowFixture f;
        PdfPrinter printer;
        WorkingFolder folder(f.dir.path());
        printer.fileName = f.dir.filePath(QStringLiteral("print.pdf"));
        f.ui.SortGrid1->setDataRows(rows);
        f.ui.SortGrid1->setRowTexts(0, headings);
        f.window->protocol().UpdateProtocolButtons();
        // The printout shows the protocol as the page was written.
        printer.meanwhile = [&] { f.ui.SortGrid1->setCells(ColRider, 1, "Nachgetragen"); };
        f.ui.Drucker1->trigger();
        QCOMPARE(printer.prints, 1);

        const QString printed = pdfText(printer.fileName);
        QVERIFY(!printed.contains(QStringLiteral("Nachgetragen")));
        const QStringList words = printed.split(QRegularExpression(QStringLiteral("\\s+")));
        QVERIFY(!printed.contains(QChar(0x2026)) && printed.contains("Zeitenprotokoll"));
        for (const QStringList &cells : rows) {
            QCOMPARE(words.count(reportCellText(cells[5])), 2); // the run's time and the total
            QCOMPARE(words.count(cells[1]), 1);
            QCOMPARE(words.count(cells[11]), 1);
        }
        const qsizetype pages = printed.count(QLatin1Char('\f'));
        QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
        for (const ReportColumn &c : ReportColumns)
            QVERIFY2(printed.count(headings[c.column]) >= pages, qPrintable(headings[c.column]));
    }
};

QTEST_MAIN(tst_HtmlReport)
#include "tst_htmlreport.moc"
