#include "MainWindowFixture.h"

#include "DbfBuilder.h"
#include "FakeFileDialogs.h"
#include "FileTypes.h"
#include "StartFolder.h"
#include "TextCodec.h"
#include "TextProtocol.h"
#include "TorisExchange.h"

namespace {
// A starter list of the tournament program, with a field of its own (BEMERK).
DbfBuilder torisList()
{
    DbfBuilder b;
    b.fields = {{"STARTNUM", 4}, {"KOPFNR", 6}, {"PFNAM", 10}, {"NAME", 10},
                {"VNAME", 6},    {"ZEIT1", 6},  {"BEMERK", 4}};
    b.records = {{"12", "101", "Cornet", "M\x81ller", "Jan", "63.4", "a"},
                 {"", "102", "B\x84r", "Schulz", "Eva", "", "b"}};
    return b;
}

const QByteArray Bom("\xEF\xBB\xBF");
const FileTypeNames Names{"Text", "Web", "Word", "Excel", "CSV"};
} // namespace

// The protocol's text and CSV files and the file types offered; loading starter lists (text and
// dBase) and saving the protocol in the main window.
class tst_ProtocolFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        // Central European time, so the export name shows a local time different from UTC.
        qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    }

    void init() { Settings = TSettings{}; }

    void textListThroughOpenDialog()
    {
        MainWindowFixture f;
        FakeFileDialogs dialogs;
        const QString list = f.dir.filePath("starter.txt");
        // A Windows list: Windows-1252, semicolons, empty fields, a tab line among them.
        QVERIFY(writeBytes(list, "Nr;Kopf;Pferd;Reiter;Verein\r\n"
                                 "12;;Fal\xe9;M\xfcller;RV A\r\n"
                                 "13\t77\tBo\t\tRV B\r\n\r\n\r\n"));
        dialogs.answers = {{list, 1}};
        Settings.FilterIndO = 1;
        f.key(Qt::Key_O, Qt::ControlModifier);
        // A folder the program may write to is where the first dialog starts.
        QCOMPARE(dialogs.offeredFolder, QCoreApplication::applicationDirPath());
        // The file's headings; it has none for the run's time.
        QCOMPARE(f.ui.SortGrid1->rowTexts(0).mid(0, 6),
                 (QStringList{"Nr", "Kopf", "Pferd", "Reiter", "Verein", "R.-Zeit"}));
        QCOMPARE(f.ui.SortGrid1->rowTexts(1).mid(0, 5) + f.ui.SortGrid1->rowTexts(2).mid(0, 5),
                 (QStringList{"12", "", "Falé", "Müller", "RV A", "13", "77", "Bo", "", "RV B"}));
        QVERIFY(!f.ui.cbStNr->isEditable() && f.ui.sbSave->isEnabled() &&
                f.ui.cbStNr->count() == 2 && f.ui.cbKNr->count() == 2);
        // The save dialog offers the same kind; the open dialog offers text, Toris and workbooks.
        QVERIFY(Settings.FiltInd == 1 && dialogs.offeredFilters.size() == 3);
        f.key(Qt::Key_O, Qt::ControlModifier); // then the folder chosen last
        QCOMPARE(dialogs.offeredFolder, f.dir.path());
    }

    void startFolder()
    {
        // Below a fresh folder; "~" is the home folder.
        const QList<std::array<QString, 3>> cases{{"bin", "Dokumente", "bin"},
                                                  {"missing", "Dokumente", "Dokumente"},
                                                  {"missing", "", "~"},
                                                  {"missing", "file/Dokumente", "~"}};
        for (const auto &[program, documents, expected] : cases) {
            QTemporaryDir root;
            QVERIFY(QDir(root.path()).mkdir("bin") && writeBytes(root.filePath("file"), "x"));
            const QString folder = dialogStartFolder(
                root.filePath(program), documents.isEmpty() ? documents : root.filePath(documents));
            QCOMPARE(folder, expected == "~" ? QDir::homePath() : root.filePath(expected));
            QVERIFY(QFileInfo(folder).isDir());
        }
    }

    void torisListThroughOpenDialog()
    {
        MainWindowFixture f;
        FakeFileDialogs dialogs;
        const QString heading = f.ui.SortGrid1->cells(0, 0);
        // Results of a former list must not stay beside the new riders.
        f.ui.SortGrid1->setDataRows({{"7", "", "Alt", "", "", "59,00", "", "", "", "", "", "1"}});
        const QString list = f.dir.filePath("starter.dbf");
        QVERIFY(writeBytes(list, torisList().build()));
        dialogs.answers = {{list, 2}};
        f.key(Qt::Key_O, Qt::ControlModifier);
        QVERIFY(f.boxes.messages.isEmpty() && f.ui.SortGrid1->cells(0, 0) == heading);
        QCOMPARE(f.ui.SortGrid1->rowTexts(1) + f.ui.SortGrid1->rowTexts(2).mid(0, 5),
                 (QStringList{"12", "101", "Cornet", "Müller", "Jan", "", "63,40", "", "", "", "",
                              "", "2", "102", "Bär", "Schulz", "Eva"}));
        QCOMPARE(f.ui.cbStNr->itemData(0).toString(), "12\t101\tCornet\tMüller\tJan\t");
        QVERIFY(Settings.FiltInd == 2 && f.ui.SortGridToris->cells(6, 2) == "b");
        QCOMPARE(f.ui.SortGridToris->rowTexts(0),
                 (QStringList{"STARTNUM", "KOPFNR", "PFNAM", "NAME", "VNAME", "ZEIT1", "BEMERK"}));
    }

    void refusedFilesChangeNothing()
    {
        MainWindowFixture f;
        ProtocolFiles &files = f.window->files();
        const QString list = f.dir.filePath("good.dbf"), bad = f.dir.filePath("bad.dbf");
        QVERIFY(writeBytes(list, torisList().build()) &&
                writeBytes(bad, torisList().build().chopped(1)));
        // A write-protected list loads all the same.
        QVERIFY(QFile::setPermissions(list, QFile::ReadOwner | QFile::ReadGroup) &&
                files.toris().ImportTorisDbf(list));
        const QList<QStringList> protocol = gridRows(f.ui.SortGrid1);
        const QList<QStringList> staging = files.toris().table().rows;
        const QString item = f.ui.cbStNr->itemData(1).toString();

        QVERIFY(!files.toris().ImportTorisDbf(bad));
        // Even root can't open a running program for writing: it is no table, but gets read.
        QVERIFY(!files.toris().ImportTorisDbf(QCoreApplication::applicationFilePath()));
        QVERIFY(!files.ImportTextList(f.dir.filePath("missing.txt")));
        QCOMPARE(f.boxes.messages.size(), 3); // each refusal is reported
        QCOMPARE(f.boxes.messages.mid(0, 2), QStringList(2, "Bad format Toris DBF file."));
        QVERIFY(f.boxes.messages[2].contains(QStringLiteral("missing.txt")));
        QCOMPARE(gridRows(f.ui.SortGrid1), protocol);
        QCOMPARE(files.toris().table().rows, staging);
        QVERIFY(f.ui.cbStNr->count() == 2 && f.ui.cbStNr->itemData(1).toString() == item);
    }

    void savedProtocolReadsBack()
    {
        MainWindowFixture f;
        f.ui.SortGrid1->setDataRows(
            {{"1", "101", "Äskulap", "Jürgen Groß", "", "61,23", "0,00", "0,00", "4", "4,00",
              "61,23", "2"},
             {"2", "", "", "Nur Reiter"},
             {"3", "103", "Bö", "R", "C", "58,00", "", "", "0", "0,00", "58,00", "1"}});
        const QList<QStringList> saved = gridRows(f.ui.SortGrid1);
        const QString file = f.dir.filePath("protocol.txt");
        QVERIFY(f.window->files().ExportTextList(file));
        f.ui.SortGrid1->setDataRows({});
        QVERIFY(f.window->files().ImportTextList(file));
        QCOMPARE(gridRows(f.ui.SortGrid1), saved);
        QCOMPARE(f.ui.cbStNr->count(), 3);
    }

    void saveCommand_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");   // the file the protocol went to
        QTest::addColumn<QByteArray>("starts"); // its first bytes
        const QDate today = QDate::currentDate();
        const char dated[] = {'\x03', char(today.year() - 1900), char(today.month()),
                              char(today.day())};
        const auto row = [](const char *name, int entry, const char *typed, const char *written,
                            const QByteArray &starts) {
            QTest::newRow(name) << entry << QString(typed) << QString(written) << starts;
        };
        row("text, suffix added", 1, "a", "a.txt", "St.Nr\t");
        row("semicolons", 4, "b.csv", "b.csv", "\xef\xbb\xbfSt.Nr;");
        row("Toris, a new table of today", 2, "c", "c.dbf", QByteArray(dated, 4));
        row("web page", 6, "d", "d.html", "<html><head>");
        row("workbook", 3, "e", "e.xlsx", "PK\x03\x04");
        row("document", 5, "f", "f.docx", "PK\x03\x04");
    }

    void saveCommand()
    {
        QFETCH(int, entry);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QByteArray, starts);
        MainWindowFixture f;
        FakeFileDialogs dialogs;
        f.ui.SortGrid1->setDataRows({{"1", "", "H"}});
        f.window->protocol().UpdateProtocolButtons();
        dialogs.answers = {{f.dir.filePath(typed), entry}};
        Settings.FiltInd = 3;
        f.key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE((QList<int>{dialogs.offeredFilter, Settings.FiltInd}), (QList<int>{3, entry}));
        // The name offered is the time.
        QVERIFY(QRegularExpression("^\\d{4}(-\\d\\d){4}$").match(dialogs.offeredName).hasMatch());
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{written});
        QVERIFY(fileBytes(f.dir.filePath(written)).startsWith(starts));
        QCOMPARE(f.boxes.messages, QStringList());
    }

    void torisResultsGoBack()
    {
        MainWindowFixture f;
        FakeFileDialogs dialogs;
        TorisExchange &toris = f.window->files().toris();
        const QString list = f.dir.filePath("results.dbf");
        QVERIFY(writeBytes(list, torisList().build()) && toris.ImportTorisDbf(list));
        f.ui.SortGrid1->setCells(6, 2, QStringLiteral("4,00"));
        f.ui.SortGrid1->appendRow({"30", "130", "Neu", "Groß", "Ute"});

        const QString out = f.dir.filePath("out");
        dialogs.answers = {{out, 2}};
        f.key(Qt::Key_S, Qt::ControlModifier);
        DbfBuilder expected = torisList();
        expected.records = {{"12", "101", "Cornet", "M\x81ller", "Jan", "63,40", "a"},
                            {"2", "102", "B\x84r", "Schulz", "Eva", "4,00", "b"},
                            {"30", "130", "Neu", "Gro\xE1", "Ute", "", ""}};
        QCOMPARE(fileBytes(out + ".dbf"), expected.build(true));

        // Saved again: the new rider is found, not added twice.
        QVERIFY(toris.ExportTorisDbf(out + "2.dbf"));
        QCOMPARE(fileBytes(out + "2.dbf"), expected.build(true));
        QCOMPARE(f.boxes.messages, QStringList());

        // Nothing written, nothing merged.
        f.ui.SortGrid1->appendRow({"31", "131", "Neu 2"});
        QVERIFY(!toris.ExportTorisDbf(f.dir.filePath("gone/out.dbf")));
        QVERIFY(f.boxes.messages.value(0).startsWith("Error create Toris file.\n"));
        QCOMPARE(toris.table().recordCount(), 3);
    }

    void parseTextList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<ProtocolRows>("rows"); // at most 3 columns
        QTest::newRow("mixed separators, long lines cut")
            << "S;K;P;R\r\n1\t\tH\t\r\n2;;H2;R2\r\n"
            << ProtocolRows{{"S", "K", "P"}, {"1", "", "H"}, {"2", "", "H2"}};
        // A run of semicolons; tabs with empty and blank fields; a tab makes semicolons text; a
        // closing semicolon or tab goes, and only that; blanks around text stay.
        QTest::newRow("fields") << "12;;;A;B\n7\t \tH\t\n1;2\tRider; Jr\n12;Horse;\na\t \t\n A B ;x"
                                << ProtocolRows{
                                       {"12", "", ""},  {"7", "", "H"}, {"1;2", "Rider; Jr"},
                                       {"12", "Horse"}, {"a", ""},      {" A B ", "x"}};
        QTest::newRow("LF") << "H\n1;A\n2;B\n" << ProtocolRows{{"H"}, {"1", "A"}, {"2", "B"}};
        QTest::newRow("CR") << "H\r1;A\r2;B\r" << ProtocolRows{{"H"}, {"1", "A"}, {"2", "B"}};
        QTest::newRow("no final line end") << "H\r\n1;A" << ProtocolRows{{"H"}, {"1", "A"}};
        QTest::newRow("empty line within kept, at the end dropped")
            << "H\r\n\r\n1;A\n\r\n\n\r" << ProtocolRows{{"H"}, {}, {"1", "A"}};
        QTest::newRow("CR LF LF is two line ends") << "H\r\n\n1" << ProtocolRows{{"H"}, {}, {"1"}};
        QTest::newRow("empty file") << "" << ProtocolRows{};
    }

    void parseTextList()
    {
        QFETCH(QString, text);
        QTEST(::parseTextList(text, 3), "rows");
    }

    void decode_data()
    {
        // Without a code page the bytes go through decodeText.
        QTest::addColumn<QByteArray>("codePage");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, const QByteArray &bytes, const QString &text,
                            const char *codePage = "") {
            QTest::newRow(name) << QByteArray(codePage) << bytes << text;
        };
        row("Windows-1252", "M\xfcller;\x80", QStringLiteral("Müller;€"));
        row("UTF-8", "J\xc3\xb6rg \xe2\x82\xac", QStringLiteral("Jörg €"));
        row("UTF-8 mark skipped", Bom + "Nr;\xc3\x9f", QStringLiteral("Nr;ß"));
        row("mark before Windows-1252", Bom + "\xe4", QStringLiteral("ä"));
        row("1252 ending in what starts a UTF-8 sequence", "Stra\xdf", QStringLiteral("Straß"));
        row("1252 with undefined bytes", "a\x81\x8d\x8f\x90\x9d\x9c",
            QStringLiteral("a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDœ"));
        // Half a surrogate pair, and an odd byte at the end, of a broken UTF-16 list.
        row("UTF-16 with broken characters",
            QByteArray("\xFF\xFEM\0\x00\xD8;\0\x3D\xD8\x00\xDE\x00\xDCx", 15),
            QStringLiteral("M\uFFFD;\U0001F600\uFFFD\uFFFD"));
        row("other code page", "M\x81ller", QStringLiteral("Müller"), "CP850");
        row("unknown code page", "\xe4\x80", QStringLiteral("ä\u0080"), "NO-SUCH-CODE-PAGE");
    }

    void decode()
    {
        QFETCH(QByteArray, codePage);
        QFETCH(QByteArray, bytes);
        QTEST(codePage.isEmpty() ? decodeText(bytes) : decodeCodePage(bytes, codePage.data()),
              "text");
    }

    // Blanks stand in for empty cells, for tabs and line breaks in cells; an empty row within and
    // a single empty cell at the end come back.
    void textRoundTrip()
    {
        ProtocolRows rows{{"Startnr", "Pferd", "Platz"},
                          {"12", "Müßig", ""},
                          {"5", "", "1"},
                          {"a\tb", "c\r\nd", "e;f"},
                          {},
                          {""}};
        const QByteArray bytes = writeTextProtocol(rows);
        QCOMPARE(bytes, QByteArray("Startnr\tPferd\tPlatz\t\r\n12\tM\xc3\xbc\xc3\x9fig\t \t\r\n"
                                   "5\t \t1\t\r\na b\tc  d\te;f\t\r\n\r\n \t\r\n"));
        rows[3] = QStringList{"a b", "c  d", "e;f"};
        QCOMPARE(::parseTextList(decodeText(bytes), 12), rows);
    }

    // Empty cells stay empty; a semicolon, a quote or a line break puts the cell in quotes.
    void writeCsv()
    {
        QCOMPARE(::writeCsv({{"1", "", "Müßig"},
                             {"", "", "2"},
                             {"a;b", "say \"hi\"", "x\ry", "x\ny", "plain", "x, y"}}),
                 Bom + "1;;M\xc3\xbc\xc3\x9fig\r\n;;2\r\n"
                       "\"a;b\";\"say \"\"hi\"\"\";\"x\ry\";\"x\ny\";plain;x, y\r\n");
    }

    void defaultExportName()
    {
        // Local time (Central European here), 24-hour clock, zero-padded.
        QCOMPARE(DefaultExportName(QDateTime(QDate(2026, 12, 5), QTime(9, 7), Qt::LocalTime)) +
                     ' ' +
                     DefaultExportName(QDateTime(QDate(2026, 12, 31), QTime(23, 30), Qt::UTC)),
                 QStringLiteral("2026-12-05-09-07 2027-01-01-00-30"));
    }

    // The save entries are walked by the save command, the open entries by the loading cases; the
    // open list shows old workbooks too, and a number out of range means text.
    void entries()
    {
        const QList<FileFilterEntry> open = openFilterEntries(Names);
        QVERIFY(open.value(2).kind == FileKind::Excel && open[2].label.endsWith("(*.xlsx *.xls)"));
        for (int outside : {0, 4})
            QVERIFY(kindOfEntry(open, outside) == FileKind::Text);
    }
};

QTEST_MAIN(tst_ProtocolFiles)
#include "tst_protocolfiles.moc"
