#include "TDigit.h"
#include "TFDlgYesNo.h"
#include "TestFiles.h"

#include <QLabel>
#include <QPushButton>
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

QPoint cellCentre(const TSortGrid &grid, int col, int row)
{
    return grid.visualRect(grid.model()->index(row - 1, col)).center();
}
} // namespace

// The sortable grid, the shared yes/no question and the seven-segment digit's value.
class TstWidgets : public QObject
{
    Q_OBJECT

private slots:
    // As at the show ground: ',' is the decimal mark, '.' groups thousands.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

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
        QTest::newRow("one row out of place")
            << entered + Rows{{"new", "x", ""}} << SortSetup{}
            << evensThenOdds[0].mid(0, 10) + QStringList{"new"} + evensThenOdds[1].mid(0, 10);
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
        QTEST(gridColumn(&grid, 0), "expected");
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
        const QList<QList<int>> expected{
            {0, 125, 0}, {7, 81, 0}, {0, 125, 1}, {0, 125, 1}, {7, 81, 1}};
        for (int i = 0; i < inputs.size(); ++i) {
            TDigit digit;
            QSignalSpy spy(&digit, &TDigit::OnOverflow);
            for (int input : inputs[i])
                digit.setValue(input);
            QCOMPARE((QList<int>{digit.value(), int(digit.valueBinary()), int(spy.count())}),
                     expected[i]);
            if (!spy.isEmpty())
                QCOMPARE(spy.first().at(0).value<TDigit *>(), &digit);
        }
    }
};

QTEST_MAIN(TstWidgets)
#include "tst_widgets.moc"
