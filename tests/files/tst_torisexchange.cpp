#include "DbfBuilder.h"
#include "FakeFileDialogs.h"
#include "MainWindowFixture.h"
#include "TestFiles.h"

#include "TorisDbf.h"
#include "TorisExchange.h"

namespace {
DbfBuilder starterList()
{
    DbfBuilder b;
    b.fields = {{"STARTNUM", 4}, {"KOPFNR", 6}, {"PFNAM", 10}, {"NAME", 10},
                {"VNAME", 6},    {"ZEIT1", 6},  {"BEMERK", 4}};
    b.records = {{"12", "101", "Cornet", "M\x81ller", "Jan", "63.4", "a"},
                 {"", "102", "B\x84r", "Schulz", "Eva", "", "b"}};
    return b;
}
} // namespace

// The tournament program's dBase tables in the main window: loading a starter list, writing the
// results back.
class tst_TorisExchange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void init() { Settings = TSettings{}; }

    void loadsThroughOpenDialog()
    {
        MainWindowFixture f;
        FakeFileDialogs dialogs;
        TFormMainUi &ui = f.ui();
        const QString heading = ui.SortGrid1->cells(0, 0);
        // Results of a former list must not stay beside the new riders.
        ui.SortGrid1->setDataRows({{"7", "", "Alt", "", "", "59,00", "", "", "", "", "", "1"}});
        const QString list = m_dir.filePath("starter.dbf");
        QVERIFY(writeBytes(list, starterList().build()));
        dialogs.answers = {{list, 2}};
        f.key(Qt::Key_O, Qt::ControlModifier);

        QCOMPARE(f.boxes.messages, QStringList());
        QCOMPARE(ui.SortGrid1->cells(0, 0), heading);
        QCOMPARE(ui.SortGrid1->rowTexts(1), (QStringList{"12", "101", "Cornet", "Müller", "Jan", "",
                                                         "63,40", "", "", "", "", ""}));
        QCOMPARE(ui.SortGrid1->rowTexts(2).mid(0, 5),
                 (QStringList{"2", "102", "Bär", "Schulz", "Eva"}));
        QCOMPARE(ui.cbStNr->count(), 2);
        QCOMPARE(ui.cbStNr->itemText(1), QStringLiteral("2"));
        QCOMPARE(ui.cbStNr->itemData(0).toString(),
                 QStringLiteral("12\t101\tCornet\tMüller\tJan\t"));
        QCOMPARE(ui.cbKNr->itemText(1), QStringLiteral("102"));
        QCOMPARE(ui.Reiter->text(), QStringLiteral("Müller"));
        QCOMPARE(ui.ePferd->text(), QStringLiteral("Cornet"));
        QVERIFY(ui.sbSave->isEnabled());
        QCOMPARE(Settings.FiltInd, 2);
        QCOMPARE(ui.SortGridToris->rowTexts(0),
                 (QStringList{"STARTNUM", "KOPFNR", "PFNAM", "NAME", "VNAME", "ZEIT1", "BEMERK"}));
        QCOMPARE(ui.SortGridToris->cells(6, 2), QStringLiteral("b"));
    }

    void refusedFileChangesNothing()
    {
        MainWindowFixture f;
        TFormMainUi &ui = f.ui();
        TorisExchange &toris = f.window->files().toris();
        const QString list = m_dir.filePath("good.dbf");
        QVERIFY(writeBytes(list, starterList().build()));
        QVERIFY(toris.ImportTorisDbf(list));
        const QList<QStringList> protocol = gridRows(ui.SortGrid1);
        const QList<QStringList> staging = toris.table().rows;
        const QString item = ui.cbStNr->itemData(1).toString();

        const QString bad = m_dir.filePath("bad.dbf");
        QVERIFY(writeBytes(bad, starterList().build().chopped(1)));
        QVERIFY(!toris.ImportTorisDbf(bad));
        QVERIFY(!toris.ImportTorisDbf(m_dir.filePath("missing.dbf")));
        QCOMPARE(f.boxes.messages,
                 (QStringList{"Bad format Toris DBF file.", "Error open Toris file."}));
        QCOMPARE(gridRows(ui.SortGrid1), protocol);
        QCOMPARE(toris.table().rows, staging);
        QCOMPARE(ui.cbStNr->count(), 2);
        QCOMPARE(ui.cbStNr->itemData(1).toString(), item);
    }

    void writeProtectedListLoads()
    {
        MainWindowFixture f;
        TorisExchange &toris = f.window->files().toris();
        const QString list = m_dir.filePath("readonly.dbf");
        QVERIFY(writeBytes(list, starterList().build()));
        QVERIFY(
            QFile::setPermissions(list, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(toris.ImportTorisDbf(list));
        // Permissions do not bind root; a running program can't be opened for writing by anyone.
        // It is no table, but it must get as far as being read.
        QVERIFY(!toris.ImportTorisDbf(QCoreApplication::applicationFilePath()));
        QCOMPARE(f.boxes.messages, QStringList{"Bad format Toris DBF file."});
    }

    void resultsGoBackThroughSaveDialog()
    {
        MainWindowFixture f;
        FakeFileDialogs dialogs;
        TFormMainUi &ui = f.ui();
        TorisExchange &toris = f.window->files().toris();
        const QString list = m_dir.filePath("results.dbf");
        QVERIFY(writeBytes(list, starterList().build()));
        QVERIFY(toris.ImportTorisDbf(list));
        ui.SortGrid1->setCells(6, 2, QStringLiteral("4,00"));
        ui.SortGrid1->appendRow({"30", "130", "Neu", "Groß", "Ute"});

        const QString out = m_dir.filePath("out");
        dialogs.answers = {{out, 2}};
        f.key(Qt::Key_S, Qt::ControlModifier);
        DbfBuilder expected = starterList();
        expected.records = {{"12", "101", "Cornet", "M\x81ller", "Jan", "63,40", "a"},
                            {"2", "102", "B\x84r", "Schulz", "Eva", "4,00", "b"},
                            {"30", "130", "Neu", "Gro\xE1", "Ute", "", ""}};
        QCOMPARE(fileBytes(out + ".dbf"), expected.build(true));

        // Saved again: the new rider is found, not added twice.
        QVERIFY(toris.ExportTorisDbf(out + "2.dbf"));
        QCOMPARE(fileBytes(out + "2.dbf"), expected.build(true));
        QCOMPARE(f.boxes.messages, QStringList());

        // Nothing written, nothing merged.
        ui.SortGrid1->appendRow({"31", "131", "Neu 2"});
        QVERIFY(!toris.ExportTorisDbf(m_dir.filePath("gone/out.dbf")));
        QCOMPARE(f.boxes.messages, QStringList{"Error create Toris file."});
        QCOMPARE(toris.table().recordCount(), 3);
    }

    void exportWithoutImport()
    {
        MainWindowFixture f;
        f.ui().SortGrid1->setDataRows({{"5", "55", "Bö", "Reiter", "RV", "61,23", "0,00"}});
        const QString out = m_dir.filePath("fresh.dbf");
        QVERIFY(f.window->files().toris().ExportTorisDbf(out));
        const QByteArray bytes = fileBytes(out);
        const QDate today = QDate::currentDate();
        const char dated[] = {'\x03', char(today.year() - 1900), char(today.month()),
                              char(today.day())};
        QCOMPARE(bytes.left(4), QByteArray(dated, 4));
        const std::optional<TorisImport> back = readTorisDbf(bytes, QLocale());
        QVERIFY(back);
        QCOMPARE(back->starters.at(0).cells.mid(0, 7),
                 (QStringList{"5", "55", "Bö", "Reiter", "RV", "61,23", "0,00"}));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(tst_TorisExchange)
#include "tst_torisexchange.moc"
