#include "DbfBuilder.h"

#include "DosUmlauts.h"
#include "TorisDbf.h"

#include <QDate>
#include <QFile>
#include <QTest>

namespace {
using Field = DbfBuilder::Field;

const QLocale German(QLocale::German, QLocale::Germany);
const QLocale English(QLocale::English, QLocale::UnitedStates);

// The tournament program's usual result table, with one field of its own (BEMERK).
DbfBuilder resultTable()
{
    DbfBuilder b;
    b.fields = {{"STARTNUM", 4}, {"KOPFNR", 6},    {"PFNAM", 12}, {"NAME", 10},
                {"VNAME", 8},    {"ZEITFEHL1", 6}, {"ZEIT1", 6},  {"ZEITFEHL2", 6},
                {"ZEIT2", 6},    {"PLATZ", 3},     {"FEHLER", 6}, {"BEMERK", 5}};
    b.records = {
        {"  12", "101", "Cornet", "M\x81ller", "Jan", "61.23", "4", "", "", "02", "", "ok"},
        {"", "102", "Bella", "Schulz", "Eva", "", "", "", "", "", "EL", "x"}};
    return b;
}

// The builder's file as read; refusing it fails the test.
TorisImport read(const DbfBuilder &b, const QLocale &locale = German)
{
    return readTorisDbf(b.build(), locale).value();
}

// The protocol rows as the window holds them after the import.
QList<QStringList> protocolOf(const TorisImport &import)
{
    QList<QStringList> rows;
    for (const TorisStarter &s : import.starters)
        rows << s.cells + QStringList{QString()};
    return rows;
}
} // namespace

// The tournament program's dBase tables: reading, merging results in, writing back.
class tst_TorisDbf : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void structureIsChecked_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("starters"); // -1: refused

        DbfBuilder b;
        b.fields = {{"STARTNUM", 4}, {"PFNAM", 8}};
        b.records = {{"1", "A"}, {"2", "B"}};
        const QByteArray valid = b.build(); // the terminator alone: read in every other case
        DbfBuilder zero = b;
        zero.zeroAfterTerminator = true;
        QTest::newRow("terminator and zero byte") << zero.build() << 2;
        DbfBuilder spare = b;
        spare.spareRecordBytes = 3;
        QTest::newRow("record longer than its fields") << spare.build() << 2;
        QTest::newRow("one byte short") << valid.chopped(1) << -1;
        QTest::newRow("one byte long") << valid + '\x1A' << -1;
        QTest::newRow("header cut short") << valid.left(20) << -1;

        auto patched = [&](int at, quint32 value, int bytes) {
            QByteArray f = valid;
            DbfBuilder::putLe(f, at, value, bytes);
            return f;
        };
        QTest::newRow("header length 32") << patched(8, 32, 2) << -1;
        QTest::newRow("record length 1") << patched(10, 1, 2) << -1;
        // 2^31 records of 2 bytes: the size matches only in 32-bit arithmetic.
        QByteArray overflow = valid.left(b.headerLength()) + '\x1A';
        DbfBuilder::putLe(overflow, 4, 0x80000000u, 4);
        DbfBuilder::putLe(overflow, 10, 2, 2);
        QTest::newRow("record count overflowing") << overflow << -1;
        // The record length kept, the fields grown past it, the size matching it again.
        DbfBuilder wide = b;
        wide.fields[1].length = 9;
        QByteArray tooWide = wide.build().chopped(2);
        DbfBuilder::putLe(tooWide, 10, quint32(b.recordLength()), 2);
        QTest::newRow("fields longer than the record") << tooWide << -1;
        // The header claims a third descriptor where the table has already ended.
        QTest::newRow("descriptor table truncated")
            << patched(8, b.headerLength() + 32, 2).insert(b.headerLength(), QByteArray(32, ' '))
            << -1;
        // Two descriptors and no room for the terminator.
        QTest::newRow("no terminator") << patched(8, 96, 2).remove(96, 1) << -1;
        DbfBuilder many;
        for (int i = 0; i < 129; ++i)
            many.fields << Field{"F" + QByteArray::number(i), 1};
        QTest::newRow("129 fields") << many.build() << -1;
        many.fields.removeLast();
        QTest::newRow("128 fields") << many.build() << 0;
    }

    void structureIsChecked()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, starters);
        // The fuzz target's seeds are these files: RM_DBF_SEEDS names the folder they go to.
        if (const QString seeds = qEnvironmentVariable("RM_DBF_SEEDS"); !seeds.isEmpty()) {
            QFile seed(seeds + u'/' +
                       QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-'));
            QVERIFY(seed.open(QIODevice::WriteOnly) && seed.write(file) == file.size());
        }
        const std::optional<TorisImport> import = readTorisDbf(file, German);
        QCOMPARE(import.has_value(), starters >= 0);
        if (import)
            QCOMPARE(import->starters.size(), starters);
    }

    void fieldsFeedTheProtocol_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QByteArray>("fieldName");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("cell");
        const auto row = [](const char *name, const QLocale &locale, const char *field,
                            const char *text, int column, const char *cell) {
            QTest::newRow(name) << locale << QByteArray(field) << QByteArray(text) << column
                                << QString::fromUtf8(cell);
        };
        row("lower-case name", German, "pfnam", "Cornet", 2, "Cornet");
        row("place read as number", German, "PLATZ", "03", 9, "3");
        row("place not a number", German, "PLATZ", "a", 9, "a");
        row("time, comma locale", German, "ZEIT1", "63.4", 6, "63,40");
        row("time, point locale", English, "ZEIT2", "63.4", 8, "63.40");
        row("time with comma, point locale", English, "ZEITFEHL1", "63,4", 5, "63,4");
        row("time not a number keeps its comma", German, "ZEITFEHL2", "n.st", 7, "n,st");
        row("faults as number go to column 6", German, "FEHLER", "8", 6, "8,00");
        row("faults as text go to column 10", German, "FEHLER", "EL", 10, "EL");
    }

    void fieldsFeedTheProtocol()
    {
        QFETCH(QLocale, locale);
        QFETCH(QByteArray, fieldName);
        QFETCH(QByteArray, text);
        QFETCH(int, column);
        QFETCH(QString, cell);
        DbfBuilder b;
        b.fields = {{"startnum", 4}, {fieldName, 8}};
        b.records = {{"007", text}};
        const TorisImport import = read(b, locale);
        const TorisStarter &starter = import.starters.at(0);
        QCOMPARE(starter.cells.at(0), QStringLiteral("7"));
        QCOMPARE(starter.fed, (1u << 0) | (1u << column));
        QCOMPARE(starter.cells.at(column), cell);
        QCOMPARE(import.table.rows.at(1).at(1), cell); // the kept table holds it normalised too
    }

    void codePage()
    {
        // DOS umlauts both ways; other bytes read as Windows text and go back unchanged, except
        // a Windows umlaut, which goes back in the DOS code page.
        QCOMPARE(OemToAnsiUmlauts("\x84\x94\x81\x8E\x99\x9A\xE1"), QStringLiteral("äöüÄÖÜß"));
        QCOMPARE(AnsiToOemUmlauts(u"äöüÄÖÜß"), QByteArray("\x84\x94\x81\x8E\x99\x9A\xE1"));
        const QString windows = QStringLiteral("é€Šä") + QChar(0x8D); // 0x8D is undefined
        QCOMPARE(OemToAnsiUmlauts("\xE9\x80\x8A\xE4\x8D"), windows);
        QCOMPARE(AnsiToOemUmlauts(windows), QByteArray("\xE9\x80\x8A\x84\x8D"));
        // á would come back as ß from 0xE1, „ as ä from 0x84; neither has a byte of its own.
        QCOMPARE(AnsiToOemUmlauts(u"á„中😀x"), QByteArray("????x"));
    }

    void unchangedTableWritesBack()
    {
        const DbfBuilder in = resultTable();
        TorisImport import = read(in);
        MergeProtocolIntoToris(import.table, protocolOf(import));

        // Numbers normalised; a numeric FEHLER went to protocol column 6 and so into ZEIT1, and
        // FEHLER comes back empty; an empty start number took the record's position.
        DbfBuilder out = in;
        out.records = {
            {"12", "101", "Cornet", "M\x81ller", "Jan", "61,23", "4,00", "", "", "2", "", "ok"},
            {"2", "102", "Bella", "Schulz", "Eva", "", "", "", "", "", "EL", "x"}};
        QCOMPARE(writeTorisDbf(import.table), out.build(true));
    }

    void deletedRecordsStayAsTheyWere()
    {
        DbfBuilder in;
        in.fields = {{"STARTNUM", 3}, {"KOPFNR", 3}, {"PFNAM", 6}, {"NAME", 6}, {"VNAME", 3}};
        in.records = {{"1", "11", "Alpha", "Ann", "A"},
                      {" 2", "22", "Beta", "Bob", "B"},
                      {"3", "33", "Gamma", "Cem", "C"}};
        in.flags = {' ', '*', ' '};
        TorisImport import = read(in);
        QVERIFY(import.starters.size() == 2 && import.starters.at(1).cells.at(0) == "3");

        // The deleted rider entered again becomes a new record; the deleted one is not revived.
        // Texts are cut at their field, in the DOS code page.
        QList<QStringList> protocol = protocolOf(import);
        protocol[0][3] = QStringLiteral("Düsseldorfer");
        MergeProtocolIntoToris(import.table, protocol << QStringList{"2", "22", "Beta", "Bob", "B"}
                                                      << QStringList{"22222", "", "Xy", "", ""});
        DbfBuilder out = in;
        out.records[0][3] = "D\x81ssel";
        out.records[1] = {" 2", "22", "Beta", "Bob", "B"}; // byte for byte, blank included
        out.records << QList<QByteArray>{"2", "22", "Beta", "Bob", "B"}
                    << QList<QByteArray>{"222", "", "Xy", "", ""};
        out.flags << ' ' << ' ';
        QCOMPARE(writeTorisDbf(import.table), out.build(true));
    }

    void merge_data()
    {
        QTest::addColumn<QStringList>("protocolRow");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("updated"); // record holding the row's results; 0 for none

        const QStringList results = {"61,23", "0,00", "", "", "1", "61,23"};
        QTest::newRow("all agree")
            << QStringList{"12", "101", "Cornet", "Müller", "Jan"} + results << 3 << 1;
        QTest::newRow("three of four agree")
            << QStringList{"12", "101", "Cornet", "Müller", "Anna"} + results << 3 << 1;
        QTest::newRow("unknown horse, same start number")
            << QStringList{"12", "101", "Corrado", "Müller", "Jan"} + results << 4 << 4;
        QTest::newRow("two of four agree")
            << QStringList{"12", "999", "Cornet", "Meier", "Jan"} + results << 4 << 4;
        // Record 3 has a horse of the same name; the rider's own record is the one updated.
        QTest::newRow("horse name twice")
            << QStringList{"14", "103", "Cornet", "Lang", "Ute"} + results << 3 << 3;
        QTest::newRow("empty row") << QStringList(12) << 3 << 0;
    }

    void merge()
    {
        QFETCH(QStringList, protocolRow);
        QFETCH(int, records);
        QFETCH(int, updated);
        DbfBuilder in = resultTable();
        in.records << QList<QByteArray>{"14", "103", "Cornet", "Lang", "Ute"};
        in.records[0][9] = "";
        TorisTable table = read(in).table;
        const TorisTable before = table;
        MergeProtocolIntoToris(table, {protocolRow});
        QCOMPARE(table.recordCount(), records);
        for (int r = 1; r <= table.recordCount(); ++r) {
            if (r == updated)
                QCOMPARE(table.rows.at(r).mid(0, 11), protocolRow.mid(0, 11));
            else
                QCOMPARE(table.rows.at(r), before.rows.at(r));
        }
        // Merging the same row again finds what the first merge wrote.
        const TorisTable once = table;
        MergeProtocolIntoToris(table, {protocolRow});
        QCOMPARE(table.rows, once.rows);
    }

    // Merged on the fields the table has (no horse; no start number and no horse; no head number
    // and no first name); a second export never appends the riders again.
    void tablesWithFewerFields()
    {
        for (const QList<int> &dropped : {QList<int>{2}, {2, 0}, {4, 1}}) { // highest first
            DbfBuilder in = resultTable();
            for (int field : dropped) {
                in.fields.removeAt(field);
                for (QList<QByteArray> &r : in.records)
                    r.removeAt(field);
            }
            const TorisImport import = read(in);
            TorisTable table = import.table;
            QList<QStringList> protocol = protocolOf(import);
            protocol[1][5] = QStringLiteral("70,00"); // the riding time
            for (int round = 0; round < 2; ++round) {
                MergeProtocolIntoToris(table, protocol);
                QCOMPARE(table.recordCount(), 2);
            }
            QVERIFY(table.rows.at(2).contains(QStringLiteral("70,00")));
        }
    }

    void freshTableWithoutImport()
    {
        TorisTable table = TorisTable::fresh(QDate(2026, 12, 6));
        MergeProtocolIntoToris(table, {{"5", "", "Bö", "Rider", "", "", "4,00"}});
        const QByteArray file = writeTorisDbf(table);
        QCOMPARE(file.left(4), QByteArray("\x03\x7e\x0c\x06", 4)); // dBase III, the date
        const TorisImport back = readTorisDbf(file, German).value();
        QCOMPARE(back.table.rows.constFirst().size(), TorisFieldCount);
        for (int k = 0; k < TorisFieldCount; ++k) // text fields only
            QCOMPARE(back.table.fields.at(k * 32 + 11), 'C');
        QCOMPARE(back.starters.size(), 1);
        QCOMPARE(back.starters.at(0).cells.mid(0, 7),
                 (QStringList{"5", "", "Bö", "Rider", "", "", "4,00"}));

        // Without any row, still a whole file.
        table = TorisTable::fresh(QDate(2026, 12, 6));
        QVERIFY(readTorisDbf(writeTorisDbf(table), German));
    }
};

QTEST_GUILESS_MAIN(tst_TorisDbf)
#include "tst_torisdbf.moc"
