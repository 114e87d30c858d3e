#include "FileTypes.h"
#include "TextCodec.h"
#include "TextProtocol.h"

#include <QtTest>

namespace {
const QByteArray Bom("\xEF\xBB\xBF");
const FileTypeNames Names{"Text", "Web", "Word", "Excel", "CSV"};
} // namespace

// The protocol's text and CSV files, and the file types the open and save dialogs offer.
class TestTextProtocol : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Central European time, so the export name shows a local time different from UTC.
        qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    }

    void splitImportLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields"); // at most 3

        QTest::newRow("run of semicolons, cut") << "12;;;A;B" << QStringList{"12", "", ""};
        QTest::newRow("tabs, empty and blank fields") << "7\t \tH\t" << QStringList{"7", "", "H"};
        QTest::newRow("a tab makes semicolons text")
            << "1;2\tRider; Jr" << QStringList{"1;2", "Rider; Jr"};
        QTest::newRow("closing semicolon") << "12;Horse;" << QStringList{"12", "Horse"};
        QTest::newRow("only the closing tab goes") << "a\t \t" << QStringList{"a", ""};
        QTest::newRow("blanks around text stay") << " A B ;x" << QStringList{" A B ", "x"};
        QTest::newRow("empty line") << "" << QStringList{};
    }

    void splitImportLine()
    {
        QFETCH(QString, line);
        QTEST(::splitImportLine(line, 3), "fields");
    }

    void parseTextList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<ProtocolRows>("rows"); // at most 3 columns
        QTest::newRow("mixed separators, long lines cut")
            << "S;K;P;R\r\n1\t\tH\t\r\n2;;H2;R2\r\n"
            << ProtocolRows{{"S", "K", "P"}, {"1", "", "H"}, {"2", "", "H2"}};
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

        QTest::newRow("Windows-1252")
            << QByteArray() << QByteArray("M\xfcller;\x80") << QStringLiteral("Müller;€");
        QTest::newRow("UTF-8") << QByteArray() << QByteArray("J\xc3\xb6rg \xe2\x82\xac")
                               << QStringLiteral("Jörg €");
        QTest::newRow("UTF-8 mark skipped")
            << QByteArray() << Bom + "Nr;\xc3\x9f" << QStringLiteral("Nr;ß");
        QTest::newRow("mark before Windows-1252") << QByteArray() << Bom + "\xe4"
                                                  << "ä";
        QTest::newRow("1252 ending in what starts a UTF-8 sequence")
            << QByteArray() << QByteArray("Stra\xdf") << QStringLiteral("Straß");
        QTest::newRow("1252 with undefined bytes")
            << QByteArray() << QByteArray("a\x81\x8d\x8f\x90\x9d\x9c")
            << QStringLiteral("a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDœ");
        QTest::newRow("other code page")
            << QByteArray("CP850") << QByteArray("M\x81ller") << QStringLiteral("Müller");
        QTest::newRow("unknown code page") << QByteArray("NO-SUCH-CODE-PAGE")
                                           << QByteArray("\xe4\x80") << QStringLiteral("ä\u0080");
    }

    void decode()
    {
        QFETCH(QByteArray, codePage);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(codePage.isEmpty() ? decodeText(bytes) : decodeCodePage(bytes, codePage.data()),
                 text);
    }

    void textRoundTrip_data()
    {
        QTest::addColumn<ProtocolRows>("rows");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<ProtocolRows>("readBack");
        const ProtocolRows grid{{"Startnr", "Pferd", "Platz"}, {"12", "Müßig", ""}, {"5", "", "1"}};
        QTest::newRow("protocol") << grid
                                  << QByteArray("Startnr\tPferd\tPlatz\t\r\n"
                                                "12\tM\xc3\xbc\xc3\x9fig\t \t\r\n5\t \t1\t\r\n")
                                  << grid;
        QTest::newRow("tabs and line breaks in cells")
            << ProtocolRows{{"a\tb", "c\r\nd", "e;f"}} << QByteArray("a b\tc  d\te;f\t\r\n")
            << ProtocolRows{{"a b", "c  d", "e;f"}};
        QTest::newRow("empty row within, single empty cell")
            << ProtocolRows{{"H"}, {}, {""}} << QByteArray("H\t\r\n\r\n \t\r\n")
            << ProtocolRows{{"H"}, {}, {""}};
    }

    void textRoundTrip()
    {
        QFETCH(ProtocolRows, rows);
        const QByteArray bytes = writeTextProtocol(rows);
        QTEST(bytes, "written");
        QTEST(::parseTextList(decodeText(bytes), 12), "readBack");
    }

    void writeCsv_data()
    {
        QTest::addColumn<ProtocolRows>("rows");
        QTest::addColumn<QByteArray>("csv");
        QTest::newRow("empty cells") << ProtocolRows{{"1", "", "Müßig"}, {"", "", "2"}}
                                     << Bom + "1;;M\xc3\xbc\xc3\x9fig\r\n;;2\r\n";
        QTest::newRow("quoting")
            << ProtocolRows{{"a;b", "say \"hi\"", "x\ry", "x\ny", "plain", "x, y"}}
            << Bom + "\"a;b\";\"say \"\"hi\"\"\";\"x\ry\";\"x\ny\";plain;x, y\r\n";
    }

    void writeCsv()
    {
        QFETCH(ProtocolRows, rows);
        QTEST(::writeCsv(rows), "csv");
    }

    void defaultExportName()
    {
        // Local time (Central European here), 24-hour clock, zero-padded.
        QCOMPARE(DefaultExportName(QDateTime(QDate(2026, 12, 5), QTime(9, 7), Qt::LocalTime)),
                 QStringLiteral("2026-12-05-09-07"));
        QCOMPARE(DefaultExportName(QDateTime(QDate(2026, 12, 31), QTime(23, 30), Qt::UTC)),
                 QStringLiteral("2027-01-01-00-30"));
    }

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
            // A save without a suffix takes it from the pattern: kind, pattern, label agree.
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
};

QTEST_GUILESS_MAIN(TestTextProtocol)
#include "tst_textprotocol.moc"
