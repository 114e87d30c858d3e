#include "SettingsDialogRun.h"

#include "LanguageFiles.h"
#include "LanguageSwitch.h"
#include "LanguageTable.h"
#include "LiveResults.h"
#include "TFDlgYesNo.h"
#include "TFormInfo.h"
#include "TFormMonitor2.h"
#include "TOwnerDrawComboBox.h"

#include <QMessageBox>

namespace {

using Load = LanguageSwitch::Load;

// A language file in the user's folder; lines[n - 1] is line n.
void writeLanguage(const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(userLanguageFolder());
    writeBytes(QDir(userLanguageFolder()).filePath(name + QStringLiteral(".lng")), bytes);
}

QByteArray numberedLines(int count)
{
    QByteArray out;
    for (int n = 1; n <= count; ++n)
        out += "L" + QByteArray::number(n) + "\r\n";
    return out;
}

// What Qt's own "Yes" button reads now.
QString qtYes()
{
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return box.button(QMessageBox::Yes)->text();
}

} // namespace

class tst_Language : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        Settings = TSettings{};
        ResetLanguageLines();
        QDir(userLanguageFolder()).removeRecursively();
    }

    void englishEverywhere()
    {
        MainWindowFixture f;
        QCOMPARE(qtYes(), QStringLiteral("&Ja")); // Qt's dialogs speak the built-in German
        TCfgDialog &d = f.window->settings().dialog();
        QVERIFY(d.cbLang->isEnabled() && d.cbCharset->isEnabled());
        choose(d.cbLang, QStringLiteral("English"));
        QVERIFY(f.window->windowTitle().endsWith(QStringLiteral(" " RITTMETER_VERSION)));
        QVERIFY(f.window->formInfo().Memo1->text().contains(QStringLiteral("show-jumping")));
        // The titles were cleared for the file's own, and the audience sees them too.
        TFDlgYesNo question;
        QCOMPARE((QStringList{f.ui.bSTOP->text(), f.ui.bEINTRAGEN->text(), f.ui.bCFG->toolTip(),
                              f.ui.SortGrid1->cells(2, 0), f.ui.LabelBase->text(),
                              f.ui.eFText1->text(), f.window->monitor().PanelText1->text(),
                              d.windowTitle(), d.LabAutoFrei->text(), d.cbPort1->itemText(0),
                              d.cbAlg2->itemText(1), question.OKBtn->text()}),
                 (QStringList{"STOP", "ENTER", "[F2] Settings", "Horse/Pony", "0 of 0", "Classic",
                              "Classic", "Settings", "Armed automatically", "None", "OFF", "Yes"}));
        // The live results, in the settings and on the page.
        const QByteArray texts = LiveResults::textsJson();
        QVERIFY2(d.cbLiveHost->itemText(0) == "All networks" && texts.contains(R"("Horse/Pony")") &&
                     texts.contains(R"("Connection lost")"),
                 texts);
        // Another language: Qt's dialogs follow the system's.
        if (QLocale::system().language() != QLocale::German)
            QCOMPARE(qtYes(), QStringLiteral("&Yes"));
        f.key(Qt::Key_B, Qt::AltModifier); // answered no: the window stays
        QVERIFY(f.window->isVisible() && f.boxes.questions == QStringList{"Quit?"});

        // Deutsch.lng brings the German texts back without a restart.
        choose(d.cbLang, QStringLiteral("Deutsch"));
        QCOMPARE((QStringList{f.ui.bSTOP->text(), qtYes(), f.ui.eFText1->text()}),
                 (QStringList{"STOPP", "&Ja", "Klassisches"}));
        QVERIFY(f.window->formInfo().Memo1->text().contains(QStringLiteral("Springprüfungen")));

        // "DEFAULT" names no file: only the titles change, to empty.
        choose(d.cbLang, QStringLiteral("DEFAULT"));
        QCOMPARE(f.ui.bSTOP->text() + f.ui.eFText1->text() + f.ui.eFText2->text(), "STOPP");
    }

    void linesKeptAndIgnored_data()
    {
        QTest::addColumn<QList<QByteArray>>("files"); // read in turn
        QTest::addColumn<QString>("shown");           // lines 19, 5 and 116
        const auto row = [](const char *name, const QList<QByteArray> &files, const char *shown) {
            QTest::newRow(name) << files << QString(shown);
        };
        row("120 lines act as 116", {numberedLines(120)}, "L19|L5|L116");
        row("10 lines change 10 texts", {numberedLines(10)}, "TIMER|L5|Borte des Display");
        row("a short file after a long one", {numberedLines(116), "A\r\nB\r\nC\r\nD\r\nE"},
            "L19|E|L116");
        row("blanks kept, empty lines empty, LF alone ends a line too",
            {QByteArray("1\n2\n3\n4\n  Titel  \r\n") + QByteArray(13, '\n') + "\r\n"},
            "|  Titel  |Borte des Display");
    }

    void linesKeptAndIgnored()
    {
        QFETCH(QList<QByteArray>, files);
        MainWindowFixture f;
        for (const QByteArray &bytes : files) {
            writeLanguage(QStringLiteral("Probe"), bytes);
            QCOMPARE(f.window->language().LoadLanguage(QStringLiteral("Probe")), Load::Loaded);
        }
        QTEST(QStringList({f.ui.bTimer->text(), f.ui.LabFText1->text(),
                           f.window->settings().dialog().seBorder->toolTip()})
                  .join(u'|'),
              "shown");
    }

    void specialLines()
    {
        MainWindowFixture f;
        QStringList items;
        for (int n = 1; n <= 25; ++n)
            items << QStringLiteral("%1\t%2\tPferd\tReiter").arg(n).arg(100 + n);
        f.window->starters().setStarters(items, {});
        f.ui.cbStNr->setCurrentIndex(2);
        QCOMPARE(f.ui.LabelBase->text(), QStringLiteral("3 von 25"));

        QList<QByteArray> lines(116);
        lines[17] = "of";
        lines[113] = "   ";
        lines[5] = "Springen";
        writeLanguage(QStringLiteral("Probe"), lines.join("\r\n"));
        const QString notice = f.window->formInfo().Memo1->text();
        QCOMPARE(f.window->language().LoadLanguage(QStringLiteral("Probe")), Load::Loaded);
        QCOMPARE(f.ui.LabelBase->text(), QStringLiteral("3 of 25"));
        // A blank notice keeps the built-in one; a title already there stays.
        QCOMPARE(f.window->formInfo().Memo1->text(), notice);
        QCOMPARE(f.ui.eFText1->text(), QStringLiteral("Klassisches"));
        // A file the user wrote wins over the shipped one of the same name.
        writeLanguage(QStringLiteral("English"), numberedLines(30));
        QCOMPARE(f.window->language().LoadLanguage(QStringLiteral("English")), Load::Loaded);
        QCOMPARE(f.ui.bSTOP->text(), QStringLiteral("L30"));
        QCOMPARE(f.window->language().LoadLanguage(QStringLiteral("../English")), Load::NoFile);
    }

    void characterSets()
    {
        MainWindowFixture f;
        TCfgDialog &d = f.window->settings().dialog();
        // Before any file, a character set changes no text.
        d.cbCharset->setCurrentIndex(3);
        QVERIFY(Settings.CharSet == 3 && f.ui.bTimer->text() == "TIMER");

        const QString timer = QStringLiteral("Таймер");
        QByteArray cp1251(19 * 2, '\n');
        cp1251.insert(18, QByteArray("\xD2\xE0\xE9\xEC\xE5\xF0"));
        writeLanguage(QStringLiteral("Russisch"), cp1251);
        writeLanguage(QStringLiteral("Kyrillisch"),
                      QByteArray("\xEF\xBB\xBF") + QByteArray(18, '\n') + timer.toUtf8());
        d.fillLanguages();
        choose(d.cbLang, QStringLiteral("Russisch"));
        QCOMPARE(d.cbCharset->currentText() + '|' + f.ui.bTimer->text(), "RUSSIAN|" + timer);
        // The same bytes read in another code page.
        d.cbCharset->setCurrentIndex(1);
        QCOMPARE(f.ui.bTimer->text(), QStringLiteral("Òàéìåð"));

        choose(d.cbLang, QStringLiteral("Kyrillisch"));
        QCOMPARE(d.cbCharset->currentText() + '|' + f.ui.bTimer->text(), "DEFAULT|" + timer);
        // UTF-8 without a byte-order mark reads as UTF-8 in any character set; a Cyrillic name
        // brings the Russian one.
        writeLanguage(QStringLiteral("РУССКИЙ"), QByteArray(18, '\n') + "Nächster");
        d.fillLanguages();
        choose(d.cbLang, QStringLiteral("РУССКИЙ"));
        QCOMPARE(d.cbCharset->currentText() + '|' + f.ui.bTimer->text(), "RUSSIAN|Nächster");
        // A character set the table does not know reads as its first row.
        QCOMPARE(LanguageText(19, 40), LanguageText(19, 0));
    }

    void appliedAtStart()
    {
        TempSettingsStore store;
        FakeSerialPorts ports;
        TSettings stored;
        std::tie(stored.Lang, stored.Zeile1, stored.Zeile2) =
            std::tuple(QStringLiteral("English"), QStringLiteral("Großer Preis"), QString());
        SaveSettings(*store.open(), stored);
        TFormMain window;
        QCOMPARE((QStringList{window.ui.bSTOP->text(), window.ui.eFText1->text(),
                              window.ui.eFText2->text()}),
                 (QStringList{"STOP", "Großer Preis", "Show Jumping"}));
    }

    // The start of the reason, or none for text: characters count, not bytes; Shift-JIS before
    // its character set is chosen makes odd letters, no control.
    void fileFaults()
    {
        for (const auto &[bytes, fault] :
             {std::pair{QByteArray("A\r\nB\r\nC\0D\r\n", 11), "Zeile 3 enthält"},
              {QByteArray("A\rB\r\n"), "Zeile 1 enthält"},
              {"\n" + QByteArray(MaxLanguageLineChars + 1, 'W'), "Zeile 2 ist länger"},
              {QString(MaxLanguageLineChars, QChar(0xE4)).toUtf8(), ""},
              {"\tA \r\n" + QByteArray(LanguageLinesStored, '\n') + QByteArray(3, '\0'), ""},
              {QByteArray("\x83^\x83\x43\x83}\x81["), ""}}) {
            const QString reason = LanguageFileFault(bytes, 0);
            QVERIFY2(*fault ? reason.startsWith(QString::fromUtf8(fault)) : reason.isEmpty(),
                     qPrintable(reason));
        }
    }

    void refusedFileKeepsTheTexts()
    {
        MainWindowFixture f;
        TCfgDialog &d = f.window->settings().dialog();
        QByteArray noise(1 << 20, Qt::Uninitialized);
        QRandomGenerator(11).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        writeLanguage(QStringLiteral("Zufall"), noise);
        d.fillLanguages();
        choose(d.cbLang, QStringLiteral("English"));
        d.cbCharset->setCurrentIndex(2);
        f.ui.eFText1->setText(QStringLiteral("Großer Preis"));

        choose(d.cbLang, QStringLiteral("Zufall"));
        QCOMPARE(f.boxes.messages.size(), 1);
        QVERIFY(f.boxes.messages.constFirst().contains(QStringLiteral("/Zufall.lng\nZeile ")));
        QCOMPARE(f.ui.bSTOP->text() + f.ui.eFText1->text(), QStringLiteral("STOPGroßer Preis"));
        QVERIFY(d.cbLang->currentText() == "English" && Settings.Lang == "English");
        QVERIFY(d.cbCharset->currentIndex() == 2 && Settings.CharSet == 2);
    }

    void cancelRestoresLanguageAndTitles()
    {
        MainWindowFixture f;
        writeLanguage(QStringLiteral("РУССКИЙ"), numberedLines(3));
        f.ui.eFText1->setText(QStringLiteral("Großer Preis"));
        f.ui.eFText2->clear();
        f.ui.SortGrid1->setCells(0, 0, QStringLiteral("Nummer")); // from a loaded list
        const QString notice = f.window->formInfo().Memo1->text();
        // The arrow keys pass over two languages.
        cancelDialog(f, [&](TCfgDialog &d) {
            choose(d.cbLang, QStringLiteral("English"));
            choose(d.cbLang, QStringLiteral("РУССКИЙ"));
        });
        QCOMPARE((QStringList{f.ui.bSTOP->text(), f.ui.eFText1->text() + f.ui.eFText2->text(),
                              f.window->monitor().PanelText1->text(), f.ui.SortGrid1->cells(0, 0)}),
                 (QStringList{"STOPP", "Großer Preis", "Großer Preis", "Nummer"}));
        QCOMPARE(f.window->formInfo().Memo1->text(), notice);
        QVERIFY(Settings.Lang.isEmpty() && Settings.CharSet == 0);
        QCOMPARE(qtYes(), QStringLiteral("&Ja"));

        // OK keeps the language chosen, with its titles.
        runDialog(f, [&](TCfgDialog &d) { choose(d.cbLang, QStringLiteral("English")); });
        QCOMPARE(f.ui.bSTOP->text() + f.ui.eFText1->text(), QStringLiteral("STOPClassic"));
        QCOMPARE(Settings.Lang, QStringLiteral("English"));
    }
};

QTEST_MAIN(tst_Language)
#include "tst_language.moc"
