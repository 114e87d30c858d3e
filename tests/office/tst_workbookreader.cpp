#include "NumberFormat.h"
#include "WorkbookReader.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

using Rows = QList<QStringList>;
using Parts = QMap<QString, QByteArray>;

namespace {

const char *const Python = "/usr/bin/python3";
const QString SheetPart = QStringLiteral("xl/worksheets/sheet1.xml");

QByteArray workbookXml(const QByteArray &sheets)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook "
           "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
           "<sheets>" +
           sheets + "</sheets></workbook>";
}

QByteArray relationsXml(const QByteArray &relations)
{
    return "<Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
           relations + "</Relationships>";
}

QByteArray sheetXml(const QByteArray &sheetData)
{
    return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<sheetData>" +
           sheetData + "</sheetData></worksheet>";
}

// One sheet, "sheet1.xml", and shared strings when given.
Parts handMade(const QByteArray &sheetData, const QByteArray &sharedItems = {})
{
    Parts parts;
    parts[QStringLiteral("xl/workbook.xml")] =
        workbookXml("<sheet name=\"Starter\" sheetId=\"1\" r:id=\"rId1\"/>");
    parts[QStringLiteral("xl/_rels/workbook.xml.rels")] = relationsXml(
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>");
    parts[SheetPart] = sheetXml(sheetData);
    if (!sharedItems.isEmpty())
        parts[QStringLiteral("xl/sharedStrings.xml")] =
            "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
            sharedItems + "</sst>";
    return parts;
}

// storedPart is kept unpacked, so a changed byte of it reaches the reader as it is.
QByteArray zipOf(const Parts &parts, const QString &storedPart = {})
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdCreate))
        return {};
    for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
        QuaZipFile file(&zip);
        file.open(QIODevice::WriteOnly, QuaZipNewInfo(it.key()), nullptr, 0,
                  it.key() == storedPart ? 0 : Z_DEFLATED, Z_BEST_SPEED);
        file.write(it.value());
        file.close();
    }
    zip.close();
    return bytes;
}

// The sheet unpacks to unpackedSize blanks; with a declaredSize the zip directory and local header
// claim that instead.
QByteArray zipBomb(qint64 unpackedSize, quint32 declaredSize = 0)
{
    Parts parts = handMade({});
    parts[SheetPart] = QByteArray(unpackedSize, ' ');
    QByteArray bytes = zipOf(parts);
    const QByteArray name = SheetPart.toLatin1();
    // The local header and the directory entry: where the name and the unpacked size are.
    for (const auto &[signature, nameAt, sizeAt] :
         {std::tuple<QByteArray, int, int>{"PK\x03\x04", 30, 22}, {"PK\x01\x02", 46, 24}})
        for (qsizetype at = bytes.indexOf(signature); declaredSize != 0 && at >= 0;
             at = bytes.indexOf(signature, at + 1))
            if (bytes.mid(at + nameAt, name.size()) == name)
                qToLittleEndian(declaredSize, bytes.data() + at + sizeAt);
    return bytes;
}

// A compound file of 512-byte sectors: header, FAT, and a directory holding one empty stream.
QByteArray compoundFile(const QString &streamName)
{
    QByteArray file(3 * 512, '\0');
    const auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, file.data() + at); };
    const auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, file.data() + at); };
    const quint32 free = 0xFFFFFFFF, endOfChain = 0xFFFFFFFE;
    file.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    for (const auto &[at, v] :
         {std::pair{0x18, 0x3E}, {0x1A, 3}, {0x1C, 0xFFFE}, {0x1E, 9}, {0x20, 6}})
        put16(at, quint16(v));
    // FAT sectors, first directory sector, mini stream cutoff; no mini FAT, no DIFAT sectors.
    for (const auto &[at, v] :
         {std::pair{0x2C, 1u}, {0x30, 1u}, {0x38, 4096u}, {0x3C, endOfChain}, {0x44, endOfChain}})
        put32(at, v);
    for (int i = 0; i < 109; ++i)
        put32(0x4C + 4 * i, i == 0 ? 0 : free);
    for (int i = 0; i < 128; ++i)
        put32(512 + 4 * i, i == 0 ? 0xFFFFFFFD : i == 1 ? endOfChain : free);
    const auto entry = [&](int index, const QString &name, quint8 type, quint32 child) {
        const int at = 1024 + 128 * index;
        for (int i = 0; i < name.size(); ++i)
            put16(at + 2 * i, name.at(i).unicode());
        put16(at + 64, quint16(2 * (name.size() + 1)));
        file[at + 66] = char(type);
        put32(at + 68, free);
        put32(at + 72, free);
        put32(at + 76, child);
        put32(at + 116, endOfChain);
    };
    entry(0, QStringLiteral("Root Entry"), 5, 1);
    entry(1, streamName, 2, free);
    return file;
}

// The workbook openpyxl saves after running script on its active sheet, ws.
QByteArray openpyxl(const QString &script)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("openpyxl.xlsx")));
    QProcess python;
    python.start(QString::fromLatin1(Python),
                 {QStringLiteral("-c"),
                  "import sys, datetime, openpyxl\nwb = openpyxl.Workbook()\nws = wb.active\n" +
                      script + "\nwb.save(sys.argv[1])",
                  file.fileName()});
    if (!python.waitForFinished(60'000) || python.exitCode() != 0)
        qWarning("/usr/bin/python3 with python3-openpyxl is needed: %s",
                 python.readAllStandardError().constData());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_WorkbookReader : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;

    QString writeFile(const QByteArray &bytes, qint64 size = 0)
    {
        QFile file(dir.filePath(QStringLiteral("mappe.xlsx")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) < 0 ||
            (size > 0 && !file.resize(size)))
            return {};
        return file.fileName();
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Rows>("expected");
        const auto py = [](const char *name, const char *script, const Rows &rows) {
            QTest::newRow(name) << openpyxl(QString::fromUtf8(script)) << rows;
        };
        const auto hand = [](const char *name, const QByteArray &sheetData, const Rows &rows,
                             const QByteArray &sharedItems = {}) {
            QTest::newRow(name) << zipOf(handMade(sheetData, sharedItems)) << rows;
        };
        py("shared strings kept with blanks and umlauts, numbers",
           "ws.append(['  Müller ', 12, 63.4, -0.5, 'Ærø'])",
           Rows{{"  Müller ", "12", "63,4", "-0,5", "Ærø"}});
        py("binary noise, large and small",
           "ws.append([0.1 + 0.2, 63.400000000000006, 1e20, 12.0, 1.5e-7])",
           Rows{{"0,3", "63,4", "100000000000000000000", "12", "0,00000015"}});
        // A time of day cannot hold 65.27 seconds exactly; the sheet shows them all the same.
        py("dates, times and durations as shown",
           "d = datetime.date(2024, 5, 1)\nws.append([d, datetime.datetime(2024, 5, 1, 12, 30),\n"
           "  datetime.time(0, 1, 5, 270000), datetime.timedelta(hours=26, minutes=3), d,\n"
           "  datetime.time(13, 5)])\n"
           "for cell, code in [('A1', 'DD.MM.YYYY'), ('C1', 'mm:ss.00'), ('D1', '[h]:mm:ss'),\n"
           "                   ('E1', 'mm-dd-yy'), ('F1', 'h:mm AM/PM')]:\n"
           "    ws[cell].number_format = code",
           Rows{{"01.05.2024", "2024-05-01 12:30:00", "01:05,27", "26:03:00", "01.05.2024",
                 "1:05 PM"}});
        py("dates counted from 1904",
           "wb.epoch = openpyxl.utils.datetime.CALENDAR_MAC_1904\n"
           "ws.append([datetime.date(2024, 5, 1)])\nws['A1'].number_format = 'dd.mm.yy'",
           Rows{{"01.05.24"}});
        hand("inline strings",
             "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Müller</t></is></c>"
             "<c r=\"B1\" t=\"inlineStr\"><is><r><t>Cor</t></r><r><rPr><b/></rPr>"
             "<t>net</t></r></is></c></row>",
             Rows{{"Müller", "Cornet"}});
        hand("formulas with cached values",
             "<row r=\"2\"><c r=\"A2\"><v>12</v></c><c r=\"C2\"><f>A2*2</f><v>24</v>"
             "</c><c r=\"D2\" t=\"str\"><f>\"x\"&amp;A2</f><v>x12</v></c></row>",
             Rows{{}, {"12", "", "24", "x12"}});
        hand("cells and rows without r",
             "<row><c><v>1</v></c><c t=\"inlineStr\"><is><t>b</t></is></c></row>"
             "<row r=\"3\"><c r=\"B3\"><v>2</v></c><c><v>3</v></c></row>"
             "<row><c><v>4</v></c></row>",
             Rows{{"1", "b"}, {}, {"", "2", "3"}, {"4"}});
        hand("references out of order",
             "<row r=\"3\"><c r=\"C3\"><v>3</v></c><c r=\"A3\"><v>1</v></c></row>"
             "<row r=\"1\"><c r=\"B1\"><v>5</v></c></row>",
             Rows{{"", "5"}, {}, {"1", "", "3"}});
        hand("rich shared strings, phonetic runs left out",
             "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>",
             Rows{{"Nr", "Pferd"}},
             "<si><t>Nr</t></si><si><r><t>Pfer</t></r><r><t>d</t></r>"
             "<rPh sb=\"0\" eb=\"1\"><t>X</t></rPh><phoneticPr fontId=\"1\"/></si>");
        hand("errors, booleans, numbers",
             "<row r=\"1\"><c r=\"A1\" t=\"e\"><v>#DIV/0!</v></c><c r=\"B1\" t=\"b\">"
             "<v>1</v></c><c r=\"C1\" t=\"b\"><v>0</v></c><c r=\"D1\" t=\"n\">"
             "<v>1E1</v></c><c r=\"E1\"><v>12.0</v></c><c r=\"F1\">"
             "<v>-63.400000000000006</v></c></row>",
             Rows{{"#DIV/0!", "WAHR", "FALSCH", "10", "12", "-63,4"}});
        hand("empty formatted cell in the last row",
             "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row><row r=\"1048576\">"
             "<c r=\"XFD1048576\" s=\"1\"/></row>",
             Rows{{"1"}});
        Parts ordered = handMade("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>falsch</t>"
                                 "</is></c></row>");
        ordered[QStringLiteral("xl/workbook.xml")] =
            workbookXml("<sheet name=\"Starter\" sheetId=\"3\" r:id=\"rId7\"/>"
                        "<sheet name=\"Alt\" sheetId=\"1\" r:id=\"rId1\"/>");
        ordered[QStringLiteral("xl/_rels/workbook.xml.rels")] =
            relationsXml("<Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/>"
                         "<Relationship Id=\"rId7\" Target=\"/xl/worksheets/starter.xml\"/>");
        ordered[QStringLiteral("xl/worksheets/starter.xml")] =
            sheetXml("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>richtig</t></is></c></row>");
        QTest::newRow("first sheet not sheet1.xml, absolute target")
            << zipOf(ordered) << Rows{{"richtig"}};
        // Made with python3-xlwt 1.3.0: sheet "Starter" holds rows ["Nr", "Reiter", "Pferd",
        // "Zeit", "Datum"], [12, "Müller", "Cornet", 63.4, date(2024, 5, 1) as DD.MM.YYYY],
        // [7, -, "Quidam", -0.5], nothing, [-, 0.1 + 0.2]; a second sheet "Andere" holds "falsch".
        QFile xls(QFINDTESTDATA("data/starters.xls"));
        QTest::newRow("old xls") << (xls.open(QIODevice::ReadOnly) ? xls.readAll() : QByteArray())
                                 << Rows{{"Nr", "Reiter", "Pferd", "Zeit", "Datum"},
                                         {"12", "Müller", "Cornet", "63,4", "01.05.2024"},
                                         {"7", "", "Quidam", "-0,5"},
                                         {},
                                         {"", "0,3"}};
    }

    void reads()
    {
        QFETCH(QByteArray, file);
        Rows rows;
        QString reason;
        QVERIFY2(readWorkbook(writeFile(file), rows, reason), qPrintable(reason));
        QTEST(rows, "expected");
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char *name, const QByteArray &content, const char *reason,
                            qint64 size = 0) {
            QTest::newRow(name) << content << size << QString::fromUtf8(reason);
        };
        const QByteArray cell = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";
        const auto without = [&](const QString &part) {
            Parts parts = handMade(cell);
            parts.remove(part);
            return zipOf(parts);
        };
        const QByteArray good = zipOf(handMade(cell));
        QByteArray flipped = zipOf(handMade(cell), SheetPart);
        flipped[flipped.indexOf("<v>1</v>") + 3] = '2';
        Parts noSheets = handMade(cell);
        noSheets[QStringLiteral("xl/workbook.xml")] = workbookXml({});
        QByteArray manyCells;
        for (int r = 1; r <= 5000; ++r)
            manyCells +=
                QStringLiteral("<row r=\"%1\"><c r=\"ALL%1\"><v>1</v></c></row>").arg(r).toLatin1();

        row("text file", "Nr;Reiter\n1;Müller\n", "Die Datei ist keine Arbeitsmappe.");
        row("empty file", {}, "Die Datei ist keine Arbeitsmappe.");
        row("truncated zip", good.left(good.size() / 2), "beschädigt");
        row("changed byte in a part", flipped, "beschädigt");
        row("no workbook.xml", without(QStringLiteral("xl/workbook.xml")), "workbook.xml fehlt");
        row("no sheet part", without(SheetPart), "sheet1.xml fehlt");
        row("no sheet at all", zipOf(noSheets), "kein Tabellenblatt");
        row("malformed xml", zipOf(handMade("<row r=\"1\"><c r=\"A1\"><v>1</v></row>")),
            "kein gültiges XML");
        row("shared string missing",
            zipOf(handMade("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>",
                           "<si><t>a</t></si>")),
            "gemeinsamen Text");
        row("no number", zipOf(handMade("<row r=\"1\"><c r=\"A1\"><v>x</v></c></row>")),
            "ungültige Zahl");
        row("too many rows",
            zipOf(handMade("<row r=\"100001\"><c r=\"A100001\"><v>1</v></c></row>")),
            "mehr als 100000 Zeilen");
        row("too many columns", zipOf(handMade("<row r=\"1\"><c r=\"AMK1\"><v>1</v></c></row>")),
            "mehr als 1024 Spalten");
        row("too many cells", zipOf(handMade(manyCells)), "mehr als 4000000 Zellen");
        row("zip bomb with a false size", zipBomb(80 * 1024 * 1024, 1000), "beschädigt");
        row("declared size above the limit", zipBomb(1024, 80 * 1024 * 1024), "größer als 64 MB");
        row("password-protected xlsx", compoundFile(QStringLiteral("EncryptedPackage")),
            "Kennwort");
        row("compound file without workbook", compoundFile(QStringLiteral("Daten")),
            "Die Datei ist keine Arbeitsmappe.");
        row("file too large", "PK\x03\x04", "größer als 64 MB", MaxWorkbookFileBytes + 1);
    }

    void refused()
    {
        QFETCH(QByteArray, content);
        QFETCH(qint64, size);
        QFETCH(QString, reason);
        const QString path = writeFile(content, size);
        QVERIFY(!path.isEmpty());
        Rows rows{{"alt"}};
        QString why;
        QVERIFY(!readWorkbook(path, rows, why));
        QVERIFY2(why.contains(reason), qPrintable(why));
        QCOMPARE(rows, Rows{{"alt"}});
    }

    void listWithinLimits_data()
    {
        QTest::addColumn<QByteArray>("sheetData");
        QTest::addColumn<qsizetype>("rows");
        QByteArray longList;
        for (int row = 1; row <= MaxWorkbookRows + 1; ++row)
            longList +=
                QStringLiteral("<row r=\"%1\"><c r=\"A%1\"><v>1</v></c></row>").arg(row).toLatin1();
        const QByteArray list = "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"AMZ1\"><v>1</v></c>"
                                "</row><row r=\"2\"><c r=\"A2\"><v>2</v></c></row>";
        QTest::newRow("ends at row 2, sheet used to row 200000 and column 1040")
            << list + "<row r=\"200000\"><c r=\"A200000\"><v>9</v></c></row>" << qsizetype(2);
        QTest::newRow("ends at the row limit")
            << longList.left(longList.lastIndexOf("<row")) << qsizetype(MaxWorkbookRows);
        QTest::newRow("runs past the row limit") << longList << qsizetype(-1);
    }

    void listWithinLimits()
    {
        QFETCH(QByteArray, sheetData);
        QFETCH(qsizetype, rows);
        Rows list;
        QString reason;
        const bool read = readWorkbookList(writeFile(zipOf(handMade(sheetData))), 12, list, reason);
        QCOMPARE(read, rows >= 0);
        QCOMPARE(list.size(), std::max<qsizetype>(rows, 0));
        if (rows < 0)
            QVERIFY2(reason.contains(QStringLiteral("mehr als 100000 Zeilen")), qPrintable(reason));
        else
            QCOMPARE(list.constLast(), QStringList{QString::number(rows == 2 ? 2 : 1)});
    }

    void numberFormats_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("minutes between hours and seconds, month beside the day")
            << "d.m.yy h:m:s" << 45413.5 + 61 / 86400.0 << "1.5.24 12:1:1";
        QTest::newRow("literals and colours")
            << "[Red]\"Start \"hh\\h mm" << 0.75 << "Start 18h 00";
        QTest::newRow("rounded up to the next minute")
            << "hh:mm:ss" << 59.9996 / 86400 << "00:01:00";
        QTest::newRow("names") << "dddd, d. mmmm yyyy" << 45413.0 << "Mittwoch, 1. Mai 2024";
        QTest::newRow("before the leap day that never was") << "dd.mm.yyyy" << 59.0 << "28.02.1900";
        QTest::newRow("elapsed seconds") << "[ss].000" << 1.5 / 86400 << "01,500";
        QTest::newRow("negative, no date") << "dd.mm.yyyy" << -1.0 << "";
        QTest::newRow("a number format") << "0.00\" s\"" << 1.0 << "";
    }

    void numberFormats()
    {
        QFETCH(QString, code);
        QFETCH(double, value);
        QTEST(NumberFormat(code).dateTimeText(value, false), "shown");
    }

    void noRegularFile()
    {
        Rows rows;
        QString why;
        QVERIFY(!readWorkbook(dir.filePath(QStringLiteral("fehlt.xlsx")), rows, why));
        QVERIFY(why == "Die Datei gibt es nicht." && !readWorkbook(dir.path(), rows, why));
        QCOMPARE(why, QStringLiteral("Das ist keine gewöhnliche Datei."));
    }
};

QTEST_MAIN(tst_WorkbookReader)
#include "tst_workbookreader.moc"
