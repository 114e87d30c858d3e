#include "FileTypes.h"

#include <QtTest>

Q_DECLARE_METATYPE(FileKind)

namespace {
const FileTypeNames Names{"Text", "Web", "Word", "Excel", "CSV"};
}

// The entries the open and save dialogs offer, and the kind a remembered entry number means.
class TestFileTypes : public QObject
{
    Q_OBJECT
private slots:
    void entries_data()
    {
        QTest::addColumn<bool>("saving");
        QTest::addColumn<bool>("workbooks");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QList<FileKind>>("kinds");

        using K = FileKind;
        QTest::newRow("open") << false << false << "Text (*.txt);;Toris file (*.dbf)"
                              << QList<K>{K::Text, K::TorisDbf};
        QTest::newRow("open, workbooks")
            << false << true << "Text (*.txt);;Toris file (*.dbf);;Excel (*.xls)"
            << QList<K>{K::Text, K::TorisDbf, K::Excel};
        QTest::newRow("save") << true << false
                              << "Text (*.txt);;Toris file (*.dbf);;CSV (*.csv);;Word (*.doc);;"
                                 "Web (*.html)"
                              << QList<K>{K::Text, K::TorisDbf, K::Csv, K::Word, K::Html};
        QTest::newRow("save, workbooks")
            << true << true
            << "Text (*.txt);;Toris file (*.dbf);;Excel (*.xls);;CSV (*.csv);;Word (*.doc);;"
               "Web (*.html)"
            << QList<K>{K::Text, K::TorisDbf, K::Excel, K::Csv, K::Word, K::Html};
    }

    void entries()
    {
        QFETCH(bool, saving);
        QFETCH(bool, workbooks);

        const QList<FileFilterEntry> entries =
            saving ? saveFilterEntries(Names, workbooks) : openFilterEntries(Names, workbooks);
        QTEST(filterLabels(entries).join(QStringLiteral(";;")), "filter");
        QList<FileKind> entryKinds;
        for (const FileFilterEntry &e : entries) {
            entryKinds << e.kind;
            // A save without a suffix takes it from the pattern, so the two must agree.
            QVERIFY2(e.pattern.startsWith(QLatin1String("*.")) &&
                         e.label.endsWith(QLatin1Char('(') + e.pattern + QLatin1Char(')')),
                     qPrintable(e.label + QLatin1Char('|') + e.pattern));
        }
        QTEST(entryKinds, "kinds");
    }

    void kindOfEntry_data()
    {
        QTest::addColumn<bool>("workbooks");
        QTest::addColumn<int>("entryNumber");
        QTest::addColumn<FileKind>("kind");

        QTest::newRow("first is text") << false << 1 << FileKind::Text;
        QTest::newRow("4 without workbooks") << false << 4 << FileKind::Word;
        QTest::newRow("3 without workbooks") << false << 3 << FileKind::Csv;
        QTest::newRow("4 with workbooks") << true << 4 << FileKind::Csv;
        QTest::newRow("3 with workbooks") << true << 3 << FileKind::Excel;
        QTest::newRow("last with workbooks") << true << 6 << FileKind::Html;
        QTest::newRow("6 without workbooks") << false << 6 << FileKind::Text;
        QTest::newRow("0") << true << 0 << FileKind::Text;
    }

    void kindOfEntry()
    {
        QFETCH(bool, workbooks);
        QFETCH(int, entryNumber);
        QTEST(::kindOfEntry(saveFilterEntries(Names, workbooks), entryNumber), "kind");
    }

    void typeNames()
    {
        // The names come from the system's type database, with a fallback where it has none.
        QCOMPARE(mimeTypeComment(QStringLiteral("application/x-rittmeter-none"), "Webseite"),
                 QStringLiteral("Webseite"));
        QCOMPARE(mimeTypeComment(QString(), "MS Excel"), QStringLiteral("MS Excel"));
        const FileTypeNames names = fileTypeNames();
        for (const QString &name : {names.text, names.web, names.word, names.excel, names.csv})
            QVERIFY(!name.trimmed().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFileTypes)
#include "tst_filetypes.moc"
