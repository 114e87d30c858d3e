#include "TDigit.h"
#include "TFDlgYesNo.h"
#include "TSortGrid.h"

#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using Rows = QList<QStringList>;

struct SortSetup
{
    QString secondary;
    bool ascending = true;
    bool caseSensitive = true;
    QString styles = QStringLiteral("aaa"); // per column: alphabetic, numeric or custom
};
Q_DECLARE_METATYPE(SortSetup)

namespace {
// Column 0 holds a row name the checks follow; the others are sort keys.
void fill(TSortGrid &grid, const Rows &rows)
{
    grid.setColCount(int(rows.first().size()));
    grid.setRowTexts(0, {"name", "k1", "k2"});
    grid.setDataRows(rows);
}

QStringList names(const TSortGrid &grid)
{
    QStringList out;
    for (int row = 1; row < grid.gridRowCount(); ++row)
        out << grid.cells(0, row);
    return out;
}

QPoint cellCentre(const TSortGrid &grid, int col, int row)
{
    return grid.visualRect(grid.model()->index(row - 1, col)).center();
}

// A point inside each segment, in bit order, of a 76 x 150 digit, thickness 9, separation 1.
const QPoint kSegmentCentres[8] = {{37, 9},  {37, 74}, {37, 140}, {9, 41},
                                   {66, 41}, {9, 106}, {66, 106}, {70, 144}};
const QColor kBackground(0, 0, 128);
const QColor kOff(64, 0, 0);
const QColor kOn(255, 255, 0);
} // namespace

// The sortable grid, the shared yes/no question and the seven-segment digit.
class TstWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // As at the show ground: ',' is the decimal mark, '.' groups thousands.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void sorting_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<SortSetup>("setup");
        QTest::addColumn<QStringList>("expected");

        const Rows ties = {{"a", "x", "2"}, {"b", "y", "1"}, {"c", "x", "1"}, {"d", "y", "2"}};
        QTest::newRow("descending keeps ties")
            << ties << SortSetup{"", false} << QStringList{"b", "d", "a", "c"};
        QTest::newRow("secondary") << ties << SortSetup{"2"} << QStringList{"c", "a", "b", "d"};
        QTest::newRow("primary and bad numbers in list")
            << ties << SortSetup{"1, x,9,-1,,2"} << QStringList{"c", "a", "b", "d"};
        // Enough rows that an unstable sort would no longer keep ties in order.
        Rows many;
        QStringList evensThenOdds[2];
        for (int i = 0; i < 40; ++i) {
            many << QStringList{QString::number(100 + i), i % 2 ? "y" : "x", ""};
            evensThenOdds[i % 2] << many.last().first();
        }
        QTest::newRow("many ties") << many << SortSetup{} << evensThenOdds[0] + evensThenOdds[1];
        // As after an entry: all in order but the last row, which belongs among the ties.
        Rows entered = many.mid(0, 20);
        std::stable_sort(entered.begin(), entered.end(),
                  [](const QStringList &a, const QStringList &b) { return a[1] < b[1]; });
        entered << QStringList{"new", "x", ""};
        QStringList enteredOrder;
        for (const QStringList &row : entered)
            if (row[1] == QLatin1String("x"))
                enteredOrder << row[0];
        for (const QStringList &row : entered.mid(0, 20))
            if (row[1] == QLatin1String("y"))
                enteredOrder << row[0];
        QTest::newRow("one row out of place") << entered << SortSetup{} << enteredOrder;
        QTest::newRow("case-insensitive")
            << Rows{{"a", "b"}, {"b", "A"}, {"c", "a"}, {"d", "B"}}
            << SortSetup{"", true, false, "aa"} << QStringList{"b", "c", "a", "d"};
        QTest::newRow("numeric: locale mark, then dot, text last")
            << Rows{{"a", "10.5"}, {"b", "9"},       {"c", "2,5"},
                    {"d", "1.5"},  {"e", "1.000,5"}, {"f", "abc"}}
            << SortSetup{"", true, true, "an"} << QStringList{"d", "c", "b", "a", "e", "f"};
        QTest::newRow("custom column")
            << Rows{{"a", "zz", "zz"}, {"b", "a", "a"}, {"c", "yyy", "yyy"}}
            << SortSetup{"", true, true, "aca"} << QStringList{"b", "a", "c"};
    }

    void sorting()
    {
        QFETCH(Rows, rows);
        QFETCH(SortSetup, setup);
        TSortGrid grid;
        fill(grid, rows);
        grid.setSortColumn(1);
        grid.setSecondaryIndex(setup.secondary);
        grid.setSortAscending(setup.ascending);
        grid.setCaseSensitive(setup.caseSensitive);
        grid.setSortStyleHandler([&](int col) {
            const QChar s = setup.styles.at(col);
            return s == 'n' ? TSortGrid::ssNumeric
                            : (s == 'c' ? TSortGrid::ssCustom : TSortGrid::ssAlphabetic);
        });
        grid.setCustomCompare(
            [](const QString &a, const QString &b) { return int(a.size() - b.size()); });
        grid.selectGridRow(2);
        const QString current = grid.cells(0, 2);
        grid.sortGrid();
        QTEST(names(grid), "expected");
        // The selected row stays selected wherever it went.
        QCOMPARE(grid.cells(0, grid.currentGridRow()), current);
        QVERIFY(grid.selectionModel()->isRowSelected(grid.currentGridRow() - 1, {}));
    }

    void selectCellRefusal()
    {
        TSortGrid grid;
        fill(grid, {{"a", "", ""}, {"b", "", ""}, {"c", "", ""}, {"d", "", ""}});
        grid.resize(400, 300);
        grid.show();
        grid.selectGridRow(1);
        QList<QPoint> asked;
        grid.setSelectCellHandler([&](int col, int row) {
            asked << QPoint(col, row);
            return row != 3;
        });

        QTest::keyClick(&grid, Qt::Key_Down);
        QTest::keyClick(&grid, Qt::Key_Down); // row 3 refuses, by key and by mouse
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 1, 3));
        QCOMPARE(grid.currentGridRow(), 2);
        QVERIFY(grid.selectionModel()->isRowSelected(1, {}));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 2, 4));
        QVERIFY(grid.currentGridRow() == 4 && grid.currentGridCol() == 2);
        QCOMPARE(asked, QList<QPoint>({{0, 2}, {0, 3}, {1, 3}, {2, 4}}));
    }

    // The question answers yes only for "Ja"; "Nein", Escape and closing answer no.
    void answers()
    {
        for (const QString how : {"Ja", "Enter", "Nein", "Escape", "close"}) {
            TFDlgYesNo dialog;
            QString shownText;
            // Answers once the dialog's own event loop runs.
            QTimer::singleShot(0, &dialog, [&] {
                shownText = dialog.Label1->text();
                if (how == QLatin1String("Ja"))
                    dialog.OKBtn->click();
                else if (how == QLatin1String("Nein"))
                    dialog.CancelBtn->click();
                else if (how == QLatin1String("close"))
                    dialog.close();
                else
                    QTest::keyClick(&dialog, how == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
            });
            QCOMPARE(dialog.ask(QStringLiteral("Beenden?")), how == "Ja" || how == "Enter");
            QCOMPARE(shownText, QStringLiteral("Beenden?"));
        }
    }

    // The digits entered in turn, then the value, its segments and the overflows reported.
    void value()
    {
        const QList<QList<int>> inputs{{0}, {7}, {-1}, {7, 10}, {10, 7}};
        const QStringList expected{"0 125 0", "7 81 0", "0 125 1", "0 125 1", "7 81 1"};
        for (int i = 0; i < inputs.size(); ++i) {
            TDigit digit;
            QSignalSpy spy(&digit, &TDigit::OnOverflow);
            for (int input : inputs[i])
                digit.setValue(input);
            QCOMPARE(QStringLiteral("%1 %2 %3")
                         .arg(digit.value())
                         .arg(digit.valueBinary())
                         .arg(spy.count()),
                     expected[i]);
            if (!spy.isEmpty())
                QCOMPARE(spy.first().at(0).value<TDigit *>(), &digit);
        }
    }

    void painting()
    {
        TDigit digit;
        digit.resize(76, 150);
        digit.setThickness(9);
        digit.setSeparation(1);
        digit.setColor(fromQColor(kBackground));
        digit.setColorOff(fromQColor(kOff));
        digit.setColorOn(fromQColor(kOn));
        const int lit = 128 | 90; // 4 and the point
        digit.setValueBinary(lit);
        // Magenta shows any pixel the opaque control left unpainted.
        QImage image(digit.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        digit.render(&image);
        for (int bit = 0; bit < 8; ++bit)
            QCOMPARE(image.pixelColor(kSegmentCentres[bit]), lit & (1 << bit) ? kOn : kOff);
        for (const QPoint &p : {QPoint(2, 2), QPoint(73, 2), QPoint(1, 74), QPoint(2, 147)})
            QCOMPARE(image.pixelColor(p), kBackground);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QVERIFY(image.pixelColor(x, y) != QColor(Qt::magenta));
    }
};

QTEST_MAIN(TstWidgets)
#include "tst_widgets.moc"
