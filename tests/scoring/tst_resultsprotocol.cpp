#include "MainWindowFixture.h"

#include "ProtocolGrid.h"
#include "ProtocolTexts.h"
#include "ResultOrder.h"
#include "ResultsProtocol.h"
#include "TBitBtnWithColor.h"
#include "TLbSpeedButton.h"
#include "TSortGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>

namespace {

QStringList column(TSortGrid *grid, int col)
{
    QStringList texts;
    for (int r = 1; r < grid->gridRowCount(); ++r)
        texts << grid->cells(col, r);
    return texts;
}

// One rider from NEXT to the entered row: clock time in ms and obstacle faults.
void ride(MainWindowFixture &f, const QString &startNumber, int ms, int faults = 0)
{
    TFormMainUi &ui = f.ui();
    if (ui.bRESET->isEnabled())
        f.key(Qt::Key_N, Qt::ControlModifier);
    ui.cbStNr->setEditText(startNumber);
    f.key(Qt::Key_F5);
    f.tick(quint32(ms));
    f.key(Qt::Key_F9);
    ui.eHindPkt->setText(QString::number(faults));
    f.key(Qt::Key_V, Qt::ControlModifier);
}

} // namespace

// Entering runs into the protocol, the abort results, NEXT, and the protocol's ranking, grid
// and management.
class tst_ResultsProtocol : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Settings = TSettings{};
        AbortReasonText = QStringLiteral("EL");
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void enterRun();
    void enteringTwiceKeepsOneRow();
    void runsWithoutStartNumberAreAllKept();
    void aborts_data();
    void aborts();
    void countdownExpiryEliminates();
    void nextCountsTheStartNumberUp_data();
    void nextCountsTheStartNumberUp();
    void ranking_data();
    void ranking();
    void englishLocaleRanksAlike();
    void rankingIgnoresAnEarlierHeadingSort();
    void gridEditsNamesOnly();
    void deleteAndClear();
    void quitAsks();
    void columnWidthsFillTheGrid();
};

void tst_ResultsProtocol::enterRun()
{
    MainWindowFixture f(true, false);
    TFormMainUi &ui = f.ui();
    ui.cbStNr->setEditText(QStringLiteral("12\tMüller"));
    ui.cbKNr->setEditText(QStringLiteral("7"));
    ui.Reiter->setText(QStringLiteral("Anna Müller"));
    f.key(Qt::Key_F5);
    f.tick(73456);
    f.key(Qt::Key_F9);
    f.key(Qt::Key_F6);
    QTest::mousePress(ui.bEINTRAGEN, Qt::LeftButton); // the press enters
    QTest::mouseRelease(ui.bEINTRAGEN, Qt::LeftButton);
    TSortGrid *grid = ui.SortGrid1;
    QCOMPARE(grid->gridRowCount(), 2); // the empty row was reused
    QCOMPARE(grid->rowTexts(1), (QStringList{"12", "7", "", "Anna Müller", "", "73,45", "0,00", "6",
                                             "0", "0,00", "79,45", "1"}));
    QCOMPARE(grid->currentGridRow(), 1);
    QCOMPARE(InfoText, QStringLiteral("Punkte:0,00   Rang:1"));
    QCOMPARE(ui.StatusPanels[0]->text(), QStringLiteral("1:1"));
    QVERIFY(!ui.bEINTRAGEN->isEnabled() && !ui.bAbbruch->isEnabled() && !ui.bAus->isEnabled());
    QVERIFY(ui.bRESET->isEnabled() && ui.rbModeC->isEnabled() && ui.bCFG->isEnabled());
    QVERIFY(ui.bRESET->hasFocus());
    QVERIFY(ui.sbCLS->isEnabled() && ui.sbSave->isEnabled() && ui.sbHTML->isEnabled());
    QCOMPARE(Run.RunStopTick, Run.RunStartTick);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);     // Enter on the focused NEXT
    QCOMPARE(ui.cbStNr->currentText(), QStringLiteral("12\tMüller")); // not a whole number
    QVERIFY(ui.bSTART->isEnabled() && !ui.bRESET->isEnabled());
    QVERIFY(InfoText.isEmpty());
    QCOMPARE(ui.eStrafPkt->text(), QStringLiteral("0"));
}

void tst_ResultsProtocol::enteringTwiceKeepsOneRow()
{
    MainWindowFixture f(true, false);
    TSortGrid *grid = f.ui().SortGrid1;
    ride(f, QStringLiteral("12"), 70000);
    ride(f, QStringLiteral("13"), 65000);
    ride(f, QStringLiteral("12"), 60000, 4);
    QCOMPARE(column(grid, ColStartNumber), (QStringList{"13", "12"}));
    QCOMPARE(column(grid, ColTotalTime), (QStringList{"65,00", "60,00"}));
    QCOMPARE(column(grid, ColPoints), (QStringList{"0,00", "4,00"}));
}

void tst_ResultsProtocol::runsWithoutStartNumberAreAllKept()
{
    MainWindowFixture f(true, false);
    TFormMainUi &ui = f.ui();
    ride(f, QString(), 70000);
    ride(f, QString(), 65000);
    QCOMPARE(column(ui.SortGrid1, ColTotalTime), (QStringList{"65,00", "70,00"}));
    QCOMPARE(ui.SortGrid1->currentGridRow(), 1); // the run just entered
    QCOMPARE(InfoText, QStringLiteral("Punkte:0,00   Rang:1"));
    QVERIFY(ui.sbSave->isEnabled());
}

void tst_ResultsProtocol::aborts_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("started");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("cues");
    QTest::newRow("Absage before START") << "bNoStart" << false << "N.st." << 0;
    QTest::newRow("ELIMINIEREN during the run") << "bAbbruch" << true << "EL" << 1;
    QTest::newRow("Ctrl+X during the run") << "mAbbruch" << true << "EL" << 1;
    QTest::newRow("Aus during the run") << "bAus" << true << "Ret." << 1;
}

void tst_ResultsProtocol::aborts()
{
    QFETCH(QString, command);
    QFETCH(bool, started);
    QFETCH(QString, result);
    QFETCH(int, cues);
    MainWindowFixture f(true, false);
    TFormMainUi &ui = f.ui();
    ui.cbStNr->setEditText(QStringLiteral("5"));
    if (started) {
        f.key(Qt::Key_F5);
        f.tick(20000);
        ui.eHindPkt->setText(QStringLiteral("4"));
    }
    const int played = f.sound.played.size();
    if (command == QLatin1String("mAbbruch"))
        f.key(Qt::Key_X, Qt::ControlModifier);
    else
        f.window->findChild<QPushButton *>(command)->click();
    QVERIFY(!ui.Clock->isActive());
    QCOMPARE(f.sound.played.size() - played, cues);
    const QStringList row = ui.SortGrid1->rowTexts(1);
    for (int col : {ColRideTime, ColPoints, ColTotalTime, ColRank})
        QCOMPARE(row[col], result);
    QCOMPARE(row[ColFaults], started ? QStringLiteral("4") : QStringLiteral("0"));
    QCOMPARE(InfoText, QStringLiteral("ELIMINIERT"));
    QVERIFY(!ui.bSTART->isEnabled() && !ui.bSTOP->isEnabled() && !ui.bNoStart->isEnabled());
    QVERIFY(ui.bRESET->isEnabled() && !ui.bEINTRAGEN->isEnabled());
}

void tst_ResultsProtocol::countdownExpiryEliminates()
{
    Settings.Timer = 20;
    Settings.Eli = true;
    MainWindowFixture f(true, false);
    TFormMainUi &ui = f.ui();
    ui.cbStNr->setEditText(QStringLiteral("3"));
    f.key(Qt::Key_F4);
    f.tick(20010);
    QVERIFY(!ui.Clock->isActive());
    QCOMPARE(ui.SortGrid1->cells(ColTotalTime, 1), QStringLiteral("EL"));
    f.key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(ui.cbStNr->currentText(), QStringLiteral("4"));
    QVERIFY(ui.bTimer->isEnabled() && ui.bTimer->hasFocus());
}

void tst_ResultsProtocol::nextCountsTheStartNumberUp_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("whole number") << "12"
                                  << "13";
    QTest::newRow("with a letter") << "12a"
                                   << "12a";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_ResultsProtocol::nextCountsTheStartNumberUp()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    MainWindowFixture f(true, false);
    ride(f, before, 50000);
    f.ui().bRESET->click();
    QCOMPARE(f.ui().cbStNr->currentText(), after);
}

void tst_ResultsProtocol::ranking_data()
{
    QTest::addColumn<bool>("procedureC");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QStringList>("ranks");
    // Riders: 1 clear in 70,10; 2 clear in 68,90; 3 with 4 faults in 56,00; 4 clear in 70,10;
    // 5 eliminated.
    QTest::newRow("A: points, then time")
        << false << QStringList{"2", "1", "4", "3", "5"} << QStringList{"1", "2", "2", "4", "EL"};
    QTest::newRow("C: time with the faults")
        << true << QStringList{"3", "2", "1", "4", "5"} << QStringList{"1", "2", "3", "3", "EL"};
}

void tst_ResultsProtocol::ranking()
{
    QFETCH(bool, procedureC);
    QFETCH(QStringList, order);
    QFETCH(QStringList, ranks);
    MainWindowFixture f(true, false);
    TFormMainUi &ui = f.ui();
    (procedureC ? ui.rbModeC : ui.rbModeA)->setChecked(true);
    ride(f, QStringLiteral("1"), 70100);
    ride(f, QStringLiteral("2"), 68900);
    ride(f, QStringLiteral("3"), 56000, 4);
    ride(f, QStringLiteral("4"), 70100);
    f.key(Qt::Key_N, Qt::ControlModifier);
    f.key(Qt::Key_F5);
    f.key(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(column(ui.SortGrid1, ColStartNumber), order);
    QCOMPARE(column(ui.SortGrid1, ColRank), ranks);
    QCOMPARE(ui.SortGrid1->currentGridRow(), 5); // the rider just entered
}

void tst_ResultsProtocol::englishLocaleRanksAlike()
{
    QLocale::setDefault(QLocale(QLocale::English));
    Settings.PktSek = 0; // no time faults for the long rides
    MainWindowFixture f(true, false);
    TFormMainUi &ui = f.ui();
    ride(f, QStringLiteral("1"), 999990);
    ride(f, QStringLiteral("2"), 75900, 4);
    ride(f, QStringLiteral("3"), 1000000);
    ride(f, QStringLiteral("4"), 75230, 4);
    QCOMPARE(column(ui.SortGrid1, ColPoints), (QStringList{"0.00", "0.00", "4.00", "4.00"}));
    QCOMPARE(column(ui.SortGrid1, ColTotalTime),
             (QStringList{"999,99", "1000,00", "75,23", "75,90"}));
    QCOMPARE(column(ui.SortGrid1, ColRank), (QStringList{"1", "2", "3", "4"}));
}

void tst_ResultsProtocol::rankingIgnoresAnEarlierHeadingSort()
{
    MainWindowFixture f(true, false);
    TFormMainUi &ui = f.ui();
    ui.eVerein->setText(QStringLiteral("Aachen"));
    ride(f, QStringLiteral("1"), 61000);
    f.key(Qt::Key_N, Qt::ControlModifier);
    ui.eVerein->setText(QStringLiteral("Zell"));
    ride(f, QStringLiteral("2"), 62000);
    QHeaderView *header = ui.SortGrid1->horizontalHeader();
    for (int i = 0; i < 2; ++i)
        emit header->sectionClicked(ColClub);
    QCOMPARE(column(ui.SortGrid1, ColClub), (QStringList{"Zell", "Aachen"}));
    QCOMPARE(column(ui.SortGrid1, ColRank), (QStringList{"2", "1"})); // ranks stay as written
    ride(f, QStringLiteral("3"), 63000);
    QCOMPARE(column(ui.SortGrid1, ColStartNumber), (QStringList{"1", "2", "3"}));
}

void tst_ResultsProtocol::gridEditsNamesOnly()
{
    MainWindowFixture f(true, false);
    TFormMainUi &ui = f.ui();
    ride(f, QStringLiteral("1"), 61000);
    ride(f, QStringLiteral("2"), 62000);
    ProtocolGrid &grid = f.window->protocolGrid();
    QVERIFY(grid.SortGrid1SelectCell(ColRider, 1));
    QVERIFY(ui.SortGrid1->editing());
    QCOMPARE(ui.StatusPanels[0]->text(), QStringLiteral("1:2"));
    QVERIFY(!grid.SortGrid1SelectCell(ColTotalTime, 1));
    QVERIFY(!ui.SortGrid1->editing() && ui.SortGrid1->rowSelect());

    // In the result columns only numbers can be typed.
    ui.SortGrid1->setCurrentIndex(ui.SortGrid1->model()->index(0, ColPenalty));
    QString passed;
    for (QChar key : QStringLiteral("x-7 ,.")) {
        grid.SortGrid1KeyPress(key);
        passed += key.isNull() ? QString() : QString(key);
    }
    QCOMPARE(passed, QStringLiteral("7,."));

    TSortGrid::CellFormat other, current;
    grid.SortGrid1GetCellFormat(ColPenalty, 2, other);
    QCOMPARE(other.background, QColor(255, 255, 200));
    grid.SortGrid1GetCellFormat(ColRank, 2, other);
    QCOMPARE(other.background, QColor(224, 255, 224));
    QVERIFY(other.alignment & Qt::AlignLeft);
    grid.SortGrid1GetCellFormat(ColRank, 1, current);
    QVERIFY(!current.background.isValid()); // the current row keeps the selection colours
}

void tst_ResultsProtocol::deleteAndClear()
{
    MainWindowFixture f(true, false);
    TFormMainUi &ui = f.ui();
    ride(f, QStringLiteral("1"), 61000);
    ride(f, QStringLiteral("2"), 62000);
    ride(f, QStringLiteral("3"), 63000);
    ui.SortGrid1->selectGridRow(3);
    // The row pointed at with the right mouse button is the one deleted.
    const QRect first = ui.SortGrid1->visualRect(ui.SortGrid1->model()->index(0, ColRider));
    emit ui.SortGrid1->customContextMenuRequested(first.center());
    ui.PopupMenu1->hide();
    ui.Strokadelete->trigger(); // answered no
    QCOMPARE(ui.SortGrid1->gridRowCount(), 4);
    f.boxes.answers = {true};
    ui.Strokadelete->trigger();
    QCOMPARE(f.boxes.questions, (QStringList{"Zeile löschen?", "Zeile löschen?"}));
    QCOMPARE(column(ui.SortGrid1, ColStartNumber), (QStringList{"2", "3"}));
    QCOMPARE(column(ui.SortGrid1, ColRank), (QStringList{"1", "2"}));

    ui.sbCLS->click(); // answered no
    QCOMPARE(ui.SortGrid1->gridRowCount(), 3);
    f.boxes.answers = {true};
    ui.sbCLS->click();
    QCOMPARE(f.boxes.questions.last(), QStringLiteral("Zeitenprotokoll löschen?"));
    QCOMPARE(ui.SortGrid1->gridRowCount(), 2);
    QVERIFY(ui.SortGrid1->rowTexts(1).join(QString()).isEmpty());
    QCOMPARE(ui.cbStNr->currentText(), QStringLiteral("1"));
    QCOMPARE(ui.LabelBase->text(), QStringLiteral("0 von 0"));
    QVERIFY(!ui.sbCLS->isEnabled() && !ui.sbSave->isEnabled());
    QVERIFY(ui.bSTART->isEnabled());
}

void tst_ResultsProtocol::quitAsks()
{
    MainWindowFixture f(true, false);
    f.key(Qt::Key_B, Qt::AltModifier);
    QCOMPARE(f.boxes.questions, QStringList{QStringLiteral("Beenden?")});
    QVERIFY(f.window->isVisible());
    f.boxes.answers = {true};
    QVERIFY(f.window->close());
    QVERIFY(!f.window->isVisible());
}

void tst_ResultsProtocol::columnWidthsFillTheGrid()
{
    MainWindowFixture f(true, false);
    TSortGrid *grid = f.ui().SortGrid1;
    for (int width : {800, 1234}) {
        f.window->resize(width, 600);
        QCoreApplication::processEvents();
        QVERIFY(grid->clientWidth() > width / 2);
        const QVector<int> expected = protocolColumnWidths(grid->clientWidth());
        for (int c = 0; c < ProtocolColumnCount; ++c)
            QCOMPARE(grid->colWidth(c), expected[c]);
    }
}

QTEST_MAIN(tst_ResultsProtocol)
#include "tst_resultsprotocol.moc"
