#include "FakeFileDialogs.h"
#include "MainWindowFixture.h"
#include "TestFiles.h"

// Loading starter lists and protocols, and saving the protocol, in the main window.
class tst_ProtocolFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Settings = TSettings{}; }

    void importFillsGridAndLists()
    {
        MainWindowFixture f;
        FakeFileDialogs dialogs;
        TFormMainUi &ui = f.ui();
        const QString list = m_dir.filePath("starter.txt");
        // A Windows list: Windows-1252, semicolons, empty fields, a tab line among them.
        QVERIFY(writeBytes(list, "Nr;Kopf;Pferd;Reiter;Verein\r\n"
                                 "12;;Fal\xe9;M\xfcller;RV A\r\n"
                                 "13\t77\tBo\t\tRV B\r\n\r\n\r\n"));
        dialogs.answers = {{list, 1}};
        Settings.FilterIndO = 1;
        f.key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(ui.SortGrid1->cells(0, 0), QStringLiteral("Nr"));
        QCOMPARE(ui.SortGrid1->cells(5, 0),
                 QStringLiteral("R.-Zeit")); // kept where the file has none
        QCOMPARE(ui.SortGrid1->rowTexts(1).mid(0, 5),
                 (QStringList{"12", "", "Falé", "Müller", "RV A"}));
        QCOMPARE(ui.SortGrid1->rowTexts(2).mid(0, 5), (QStringList{"13", "77", "Bo", "", "RV B"}));
        QVERIFY(!ui.cbStNr->isEditable());
        QCOMPARE(ui.cbStNr->count(), 2);
        QCOMPARE(ui.cbKNr->count(), 2);
        QCOMPARE(ui.Reiter->text(), QStringLiteral("Müller"));
        QCOMPARE(ui.ePferd->text(), QStringLiteral("Falé"));
        QCOMPARE(ui.LabelBase->text(), QStringLiteral("1 von 2"));
        QVERIFY(ui.sbSave->isEnabled());
        QCOMPARE(Settings.FiltInd, 1);              // the save dialog offers the same kind
        QCOMPARE(dialogs.offeredFilters.size(), 2); // text and Toris; no workbooks yet
    }

    void headingOnlyFile()
    {
        MainWindowFixture f;
        TFormMainUi &ui = f.ui();
        const QString list = m_dir.filePath("heading.txt");
        QVERIFY(writeBytes(list, "St.Nr\tKoNr.\tPferd\r\n"));
        QVERIFY(f.window->files().ImportTextList(list));
        QCOMPARE(ui.SortGrid1->gridRowCount(), 2);
        QVERIFY(ui.SortGrid1->rowTexts(1).join(QString()).isEmpty());
        QVERIFY(ui.cbStNr->isEditable());
        QCOMPARE(ui.cbStNr->count(), 0);
        QVERIFY(!ui.sbSave->isEnabled());
        QCOMPARE(ui.LabelBase->text(), QStringLiteral("0 von 0"));
    }

    void failedLoadChangesNothing()
    {
        MainWindowFixture f;
        TFormMainUi &ui = f.ui();
        ui.SortGrid1->setDataRows({{"5", "", "Horse"}});
        const QList<QStringList> before = gridRows(ui.SortGrid1);
        QVERIFY(!f.window->files().ImportTextList(m_dir.filePath("missing.txt")));
        QVERIFY(!f.window->files().ImportTextList(m_dir.path())); // a folder
        QCOMPARE(gridRows(ui.SortGrid1), before);
        QCOMPARE(f.boxes.messages.size(), 2);
        QVERIFY(f.boxes.messages.first().contains(QStringLiteral("missing.txt")));
    }

    void savedProtocolReadsBack()
    {
        MainWindowFixture f;
        TFormMainUi &ui = f.ui();
        ui.SortGrid1->setDataRows(
            {{"1", "101", "Äskulap", "Jürgen Groß", "", "61,23", "0,00", "0,00", "4", "4,00",
              "61,23", "2"},
             {"2", "", "", "Nur Reiter"},
             {"3", "103", "Bö", "R", "C", "58,00", "", "", "0", "0,00", "58,00", "1"}});
        const QList<QStringList> saved = gridRows(ui.SortGrid1);
        const QString file = m_dir.filePath("protocol.txt");
        QVERIFY(f.window->files().ExportTextList(file));
        ui.SortGrid1->setDataRows({});
        QVERIFY(f.window->files().ImportTextList(file));
        QCOMPARE(gridRows(ui.SortGrid1), saved);
        QCOMPARE(ui.cbStNr->count(), 3);
    }

    void saveCommand_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");   // the file the protocol went to, empty for none
        QTest::addColumn<QByteArray>("starts"); // its first bytes
        QTest::newRow("text, suffix added") << 1 << "a"
                                            << "a.txt" << QByteArray("St.Nr\t");
        QTest::newRow("semicolons") << 3 << "b.csv"
                                    << "b.csv" << QByteArray("\xef\xbb\xbfSt.Nr;");
        QTest::newRow("Toris, a new table") << 2 << "c"
                                            << "c.dbf" << QByteArray("\x03");
        QTest::newRow("web page not yet") << 5 << "d.html"
                                          << "" << QByteArray();
    }

    void saveCommand()
    {
        QFETCH(int, entry);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QByteArray, starts);
        MainWindowFixture f;
        FakeFileDialogs dialogs;
        TFormMainUi &ui = f.ui();
        ui.SortGrid1->setDataRows({{"1", "", "H"}});
        f.window->protocol().UpdateProtocolButtons();
        QTemporaryDir dir;
        dialogs.answers = {{dir.filePath(typed), entry}};
        Settings.FiltInd = 3;
        f.key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(dialogs.offeredFilter, 3);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d$"))
                    .match(dialogs.offeredName)
                    .hasMatch());
        QCOMPARE(Settings.FiltInd, entry);
        const QStringList files = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(files, written.isEmpty() ? QStringList() : QStringList{written});
        if (!written.isEmpty())
            QVERIFY(fileBytes(dir.filePath(written)).startsWith(starts));
        QCOMPARE(f.boxes.messages.size(), written.isEmpty() ? 1 : 0);
    }

    void failedSaveIsReported()
    {
        MainWindowFixture f;
        const QString missingFolder = m_dir.filePath("gone/protocol.txt");
        QVERIFY(!f.window->files().ExportTextList(missingFolder));
        QVERIFY(!f.window->files().SaveAsCsv(m_dir.path())); // a folder can't be replaced
        QCOMPARE(f.boxes.messages,
                 (QStringList{QStringLiteral("Can't write to file:\n") + missingFolder,
                              QStringLiteral("Can't write to file:\n") + m_dir.path()}));
        QVERIFY(!QFile::exists(missingFolder));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(tst_ProtocolFiles)
#include "tst_protocolfiles.moc"
