#include "FileTypes.h"

#include <QtTest>

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
        QTest::addColumn<QString>("suffixes"); // of the entries, in order
        QTest::newRow("open") << false << false << "txt dbf";
        QTest::newRow("open, workbooks") << false << true << "txt dbf xls";
        QTest::newRow("save") << true << false << "txt dbf csv doc html";
        QTest::newRow("save, workbooks") << true << true << "txt dbf xls csv doc html";
    }

    void entries()
    {
        QFETCH(bool, saving);
        QFETCH(bool, workbooks);
        const QList<FileFilterEntry> entries =
            saving ? saveFilterEntries(Names, workbooks) : openFilterEntries(Names, workbooks);
        const QStringList bySuffix{"txt", "dbf", "xls", "csv", "doc", "html"}; // FileKind order
        QStringList suffixes;
        for (int i = 0; i < entries.size(); ++i) {
            const FileFilterEntry &e = entries[i];
            suffixes << e.pattern.mid(2);
            // A save without a suffix takes it from the pattern, so kind, pattern and label
            // must agree; the remembered entry number means the entry's kind.
            QCOMPARE(e.pattern, "*." + bySuffix[int(e.kind)]);
            QVERIFY2(e.label.endsWith(QLatin1Char('(') + e.pattern + QLatin1Char(')')),
                     qPrintable(e.label));
            QVERIFY(kindOfEntry(entries, i + 1) == e.kind);
        }
        QTEST(suffixes.join(u' '), "suffixes");
        // Numbers out of range mean text.
        QVERIFY(kindOfEntry(entries, 0) == FileKind::Text);
        QVERIFY(kindOfEntry(entries, int(entries.size()) + 1) == FileKind::Text);
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
