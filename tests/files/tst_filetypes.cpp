#include "FileTypes.h"

#include <QtTest>

Q_DECLARE_METATYPE(FileKind)

// The entries the open and save dialogs offer, and the kind a remembered entry number means.
class TestFileTypes : public QObject
{
    Q_OBJECT
private slots:
    void entries_data();
    void entries();
    void kindOfEntry_data();
    void kindOfEntry();
    void unknownMimeTypeFallsBack_data();
    void unknownMimeTypeFallsBack();
    void namesNeverEmpty();
};

namespace {
const FileTypeNames Names{"Text", "Web", "Word", "Excel", "CSV"};
}

void TestFileTypes::entries_data()
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

void TestFileTypes::entries()
{
    QFETCH(bool, saving);
    QFETCH(bool, workbooks);
    QFETCH(QString, filter);
    QFETCH(QList<FileKind>, kinds);
    const QList<FileFilterEntry> entries =
        saving ? saveFilterEntries(Names, workbooks) : openFilterEntries(Names, workbooks);
    QCOMPARE(filterLabels(entries).join(QStringLiteral(";;")), filter);
    QList<FileKind> entryKinds;
    for (const FileFilterEntry &e : entries) {
        entryKinds << e.kind;
        // A save without a suffix takes it from the pattern, so the two must agree.
        QVERIFY2(e.pattern.startsWith(QLatin1String("*.")) &&
                     e.label.endsWith(QLatin1Char('(') + e.pattern + QLatin1Char(')')),
                 qPrintable(e.label + QLatin1Char('|') + e.pattern));
    }
    QCOMPARE(entryKinds, kinds);
}

void TestFileTypes::kindOfEntry_data()
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
    QTest::newRow("99") << true << 99 << FileKind::Text;
    QTest::newRow("0") << true << 0 << FileKind::Text;
}

void TestFileTypes::kindOfEntry()
{
    QFETCH(bool, workbooks);
    QFETCH(int, entryNumber);
    QFETCH(FileKind, kind);
    QCOMPARE(::kindOfEntry(saveFilterEntries(Names, workbooks), entryNumber), kind);
}

void TestFileTypes::unknownMimeTypeFallsBack_data()
{
    QTest::addColumn<QString>("mimeName");
    QTest::addColumn<QString>("fallback");
    QTest::newRow("unknown type") << "application/x-rittmeter-none"
                                  << "Webseite";
    QTest::newRow("no name") << ""
                             << "MS Excel";
}

void TestFileTypes::unknownMimeTypeFallsBack()
{
    QFETCH(QString, mimeName);
    QFETCH(QString, fallback);
    QCOMPARE(mimeTypeComment(mimeName, fallback), fallback);
}

void TestFileTypes::namesNeverEmpty()
{
    const FileTypeNames names = fileTypeNames();
    for (const QString &name : {names.text, names.web, names.word, names.excel, names.csv})
        QVERIFY(!name.trimmed().isEmpty());
}

QTEST_GUILESS_MAIN(TestFileTypes)
#include "tst_filetypes.moc"
