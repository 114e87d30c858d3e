#include "MainWindowFixture.h"

#include "PlainComboStyle.h"

#include "LocaleNumbers.h"

#include "ProtocolGrid.h"
#include "ProtocolRow.h"
#include "ProtocolTexts.h"
#include "ResultOrder.h"

#include <QHeaderView>
#include <QMenu>

namespace {

// One rider from NEXT to the entered row: clock time in ms and obstacle faults.
void ride(MainWindowFixture &f, const QString &startNumber, int ms, int faults = 0)
{
    if (f.ui.bRESET->isEnabled())
        f.key(Qt::Key_N, Qt::ControlModifier);
    f.ui.cbStNr->setEditText(startNumber);
    f.run(quint32(ms));
    f.ui.eHindPkt->setText(QString::number(faults));
    f.key(Qt::Key_V, Qt::ControlModifier);
}

// What the operator sees of the chosen starter, and whether the step buttons work.
QString shown(const MainWindowFixture &f)
{
    const TFormMainUi &u = f.ui;
    const QStringList fields{u.cbStNr->currentText(), u.cbKNr->currentText(), u.ePferd->text(),
                             u.Reiter->text(),        u.eVerein->text(),      u.LabelBase->text()};
    return fields.join(u'|') + (u.sb1m->isEnabled() ? "|<" : "|-") +
           (u.sb1p->isEnabled() ? "|>" : "|-");
}

void setStarters(MainWindowFixture &f, const QStringList &items)
{
    QStringList heads;
    for (const QString &item : items)
        heads << StarterFields(item).value(1);
    f.window->starters().setStarters(items, heads);
}
} // namespace

// The starter list, entering runs and aborts, NEXT, and the protocol's ranking and management.
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

    void enterRun()
    {
        MainWindowFixture f(false);
        f.ui.cbStNr->setEditText(QStringLiteral("12\tMüller"));
        f.ui.cbKNr->setEditText(QStringLiteral("7"));
        f.ui.Reiter->setText(QStringLiteral("Anna Müller"));
        f.run(73456);
        f.key(Qt::Key_F6);
        f.click(f.ui.bEINTRAGEN);
        QCOMPARE(gridRows(f.ui.SortGrid1).mid(1), // the empty row was reused
                 (QList<QStringList>{{"12", "7", "", "Anna Müller", "", "73,45", "0,00", "6", "0",
                                      "0,00", "79,45", "1"}}));
        QCOMPARE(f.info(), QStringLiteral("Punkte:0,00   Rang:1"));
        QVERIFY(f.ui.SortGrid1->currentGridRow() == 1 && !f.ui.bEINTRAGEN->isEnabled() &&
                f.ui.bRESET->hasFocus() && f.ui.rbModeC->isEnabled());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // Enter on the focused NEXT
        QCOMPARE(f.ui.cbStNr->currentText(), QStringLiteral("12\tMüller")); // not a whole number
        QVERIFY(f.ui.bSTART->isEnabled() && f.info().isEmpty() && f.ui.eStrafPkt->text() == "0");
    }

    void oneRowPerStartNumber()
    {
        MainWindowFixture f(false);
        ride(f, QStringLiteral("12"), 70000);
        ride(f, QStringLiteral("13"), 65000);
        ride(f, QStringLiteral("12"), 60000, 4); // entered again: the row is replaced
        // Runs without a start number are all kept.
        ride(f, QString(), 70000, 8);
        ride(f, QString(), 65000, 8);
        QCOMPARE(gridColumn(f.ui.SortGrid1, ColStartNumber) +
                     gridColumn(f.ui.SortGrid1, ColTotalTime),
                 (QStringList{"13", "12", "", "", "65,00", "60,00", "65,00", "70,00"}));
        QCOMPARE(f.ui.SortGrid1->currentGridRow(), 3); // the run just entered
        f.key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(f.ui.cbStNr->currentText(), QString()); // NEXT counts no empty number up
    }

    // Absage before START; ELIMINIEREN and Aus during the run.
    void aborts()
    {
        for (const auto &[command, result] :
             {std::pair{"bNoStart", "N.st."}, {"bAbbruch", "EL"}, {"bAus", "Ret."}}) {
            const bool started = qstrcmp(command, "bNoStart") != 0;
            MainWindowFixture f(false);
            f.ui.cbStNr->setEditText(QStringLiteral("5"));
            if (started) {
                f.key(Qt::Key_F5);
                f.tick(20000);
                f.ui.eHindPkt->setText(QStringLiteral("4"));
            }
            f.window->findChild<QPushButton *>(command)->click();
            QVERIFY(!f.ui.Clock->isActive());
            QCOMPARE(f.sound.played.size(), started ? 1 : 0); // the abort cue, after a START
            const QStringList row = f.ui.SortGrid1->rowTexts(1);
            for (int col : {ColRideTime, ColPoints, ColTotalTime, ColRank})
                QCOMPARE(row[col], result);
            QCOMPARE(row[ColFaults] + '|' + f.info(), started ? "4|ELIMINIERT" : "0|ELIMINIERT");
            QVERIFY(!f.ui.bSTART->isEnabled() && !f.ui.bEINTRAGEN->isEnabled() &&
                    f.ui.bRESET->isEnabled());
        }
    }

    void countdownExpiryEliminates()
    {
        Settings.Timer = 20;
        Settings.Eli = true;
        MainWindowFixture f(false);
        f.ui.cbStNr->setEditText(QStringLiteral("3"));
        f.key(Qt::Key_F4);
        f.tick(20010);
        QVERIFY(!f.ui.Clock->isActive() && f.ui.SortGrid1->cells(ColTotalTime, 1) == "EL");
        f.key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(f.ui.cbStNr->currentText(), QStringLiteral("4"));
        QVERIFY(f.ui.bTimer->isEnabled() && f.ui.bTimer->hasFocus());
    }

    // 1 and 4 clear in 70,10, 2 in 68,90, 3 with 4 faults in 56,00, 5 out by Ctrl+X: in A by
    // points, then time; in C by the time with the faults.
    void ranking()
    {
        for (const bool procedureC : {false, true}) {
            MainWindowFixture f(false);
            (procedureC ? f.ui.rbModeC : f.ui.rbModeA)->setChecked(true);
            for (const auto &[number, ms, faults] :
                 {std::tuple{"1", 70100, 0}, {"2", 68900, 0}, {"3", 56000, 4}, {"4", 70100, 0}})
                ride(f, number, ms, faults);
            f.key(Qt::Key_N, Qt::ControlModifier);
            f.key(Qt::Key_F5);
            f.key(Qt::Key_X, Qt::ControlModifier);
            QCOMPARE(
                gridColumn(f.ui.SortGrid1, ColStartNumber) + gridColumn(f.ui.SortGrid1, ColRank),
                QString(procedureC ? "3 2 1 4 5 1 2 3 3 EL" : "2 1 4 3 5 1 2 2 4 EL").split(' '));
            QCOMPARE(f.ui.SortGrid1->currentGridRow(), 5); // the rider just entered
        }
    }

    void gridEditsNamesOnly()
    {
        MainWindowFixture f(false);
        ride(f, QStringLiteral("1"), 61000);
        ProtocolGrid &grid = f.window->protocolGrid();
        QVERIFY(grid.SortGrid1SelectCell(ColRider, 1) && f.ui.SortGrid1->editing());
        QVERIFY(!grid.SortGrid1SelectCell(ColTotalTime, 1));
        QVERIFY(!f.ui.SortGrid1->editing() && f.ui.SortGrid1->rowSelect());
        // In the result columns only numbers can be typed.
        f.ui.SortGrid1->setCurrentIndex(f.ui.SortGrid1->model()->index(0, ColPenalty));
        QString passed;
        for (QChar key : QStringLiteral("x-7 ,.")) {
            grid.SortGrid1KeyPress(key);
            passed += key.isNull() ? QString() : QString(key);
        }
        QCOMPARE(passed, QStringLiteral("7,."));
    }

    void headingSortDeleteAndClear()
    {
        MainWindowFixture f(false);
        for (const auto &[number, ms, faults] :
             {std::tuple{"1", 61000, 4}, {"2", 62000, 0}, {"3", 63000, 8}})
            ride(f, number, ms, faults);
        // After the ranking, the first click on its heading sorts ascending, not reversed.
        emit f.ui.SortGrid1->horizontalHeader()->sectionClicked(ColPoints);
        QCOMPARE(gridColumn(f.ui.SortGrid1, ColStartNumber), (QStringList{"2", "1", "3"}));
        for (int i = 0; i < 2; ++i) // by start number, descending: the ranks stay as written
            emit f.ui.SortGrid1->horizontalHeader()->sectionClicked(ColStartNumber);
        QCOMPARE(gridColumn(f.ui.SortGrid1, ColRank), (QStringList{"3", "1", "2"}));
        f.ui.SortGrid1->selectGridRow(3);
        // The row pointed at with the right mouse button, rider 3, is the one deleted.
        const QRect first = f.ui.SortGrid1->visualRect(f.ui.SortGrid1->model()->index(0, ColRider));
        emit f.ui.SortGrid1->customContextMenuRequested(first.center());
        f.ui.PopupMenu1->hide();
        f.ui.Strokadelete->trigger(); // answered no
        QCOMPARE(f.ui.SortGrid1->gridRowCount(), 4);
        f.boxes.answers = {true};
        f.ui.Strokadelete->trigger(); // deleted, and ranked again
        QCOMPARE(gridColumn(f.ui.SortGrid1, ColStartNumber) + gridColumn(f.ui.SortGrid1, ColRank),
                 (QStringList{"2", "1", "1", "2"}));

        f.ui.sbCLS->click(); // answered no
        QCOMPARE(f.ui.SortGrid1->gridRowCount(), 3);
        f.boxes.answers = {true};
        f.ui.sbCLS->click();
        QCOMPARE(gridColumn(f.ui.SortGrid1, ColRider), QStringList{QString()});
        QVERIFY(!f.ui.sbCLS->isEnabled() && !f.ui.sbSave->isEnabled());
    }

    void fields_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("expected"); // start number, head number, horse, rider, club
        const auto row = [](const char *name, const char *item, const char *expected) {
            QTest::newRow(name) << QString(item) << QString(expected);
        };
        row("tabs", "12\t345\tH A\tR A\tC A", "12|12|345|H A|R A|C A");
        row("empty head number keeps its place", "12\t\tH A\tR A\tC A", "12|12||H A|R A|C A");
        row("semicolons", "12;345;H A;R A;C A", "12|12|345|H A|R A|C A");
        row("tabs win over semicolons", "12;a\t7\tH; B\t  R  \t", "12;a|12;a|7|H; B|R  |");
        row("start number only", "7", "7|7");
        row("blank start number (a saved row without one)", " \t5\tH\tR\tC", "||5|H|R|C");
    }

    void fields()
    {
        QFETCH(QString, item);
        QTEST((QStringList{StartNumberKey(item)} + StarterFields(item)).join(QLatin1Char('|')),
              "expected");
    }

    void stepping()
    {
        MainWindowFixture f;
        // Without a list: plain fields, and NEXT counts the start number up from 1.
        const auto plain = [&] {
            return qobject_cast<PlainComboStyle *>(f.ui.cbStNr->style()) &&
                   qobject_cast<PlainComboStyle *>(f.ui.cbKNr->style());
        };
        QVERIFY(plain() && f.ui.cbStNr->currentText() == QStringLiteral("1"));
        f.window->protocol().bRESETClick();
        QCOMPARE(f.ui.cbStNr->currentText(), QStringLiteral("2"));
        QList<QStringList> rows;
        QStringList items;
        for (int i = 1; i <= 60; ++i) {
            rows << QStringList{QString::number(i), QString(), QStringLiteral("H%1").arg(i)};
            items << QStringLiteral("%1\t%2\tHorse %1\tRider %1\tClub %1").arg(i).arg(100 + i);
        }
        f.ui.SortGrid1->setDataRows(rows);
        setStarters(f, items);
        QVERIFY(!qobject_cast<PlainComboStyle *>(f.ui.cbStNr->style()));
        QCOMPARE(shown(f), QStringLiteral("1|101|Horse 1|Rider 1|Club 1|1 von 60|-|>"));
        for (TLbSpeedButton *step : {f.ui.sb1p, f.ui.sb1p, f.ui.sb1m})
            step->click();
        QCOMPARE(shown(f), QStringLiteral("2|102|Horse 2|Rider 2|Club 2|2 von 60|<|>"));
        QCOMPARE(f.window->live().snapshot()->starter.headNumber, f.ui.cbKNr->currentText());
        // The rider's row is selected and at the top; the run goes in under the number alone.
        f.ui.cbStNr->setCurrentIndex(44);
        QVERIFY(f.ui.SortGrid1->currentGridRow() == 45 && f.ui.SortGrid1->rowAt(0) == 44 &&
                f.ui.cbStNr->currentText() == QStringLiteral("45"));

        // NEXT steps on; at the last starter it keeps the starter and clears the rider.
        f.ui.cbStNr->setCurrentIndex(58);
        f.window->protocol().bRESETClick();
        QCOMPARE(shown(f), QStringLiteral("60|160|Horse 60|Rider 60|Club 60|60 von 60|<|-"));
        f.window->protocol().bRESETClick();
        QCOMPARE(shown(f), QStringLiteral("60|||||60 von 60|<|-"));

        // Clearing the protocol leaves plain fields, and its NEXT counts "0" up to the first rider.
        f.boxes.answers = {true};
        f.window->protocol().sbCLSClick();
        QVERIFY(f.ui.cbStNr->isEditable() && f.ui.cbStNr->count() == 0 && plain());
        QCOMPARE(shown(f), QStringLiteral("1|||||0 von 0|-|-"));

        // Head numbers may repeat: the choice is the starter at that place in the list.
        setStarters(f, {"1\t5\tH1\tR1\tC1", "2\t7\tH2\tR2\tC2", "3\t5\tH3\tR3\tC3"});
        f.ui.cbKNr->setCurrentIndex(2);
        emit f.ui.cbKNr->activated(2);
        QCOMPARE(shown(f), QStringLiteral("3|5|H3|R3|C3|3 von 3|<|-"));
    }

    void keys()
    {
        MainWindowFixture f;
        f.ui.cbStNr->setEditText(QStringLiteral("7"));
        QTest::keyClicks(f.ui.cbStNr->lineEdit(), QStringLiteral("a1-"));
        QCOMPARE(f.ui.cbStNr->currentText(), QStringLiteral("71"));
        QTest::keyClick(f.ui.cbStNr->lineEdit(), Qt::Key_Return);
        QTest::keyClicks(f.ui.cbKNr->lineEdit(), QStringLiteral("345"));
        QTest::keyClick(f.ui.cbKNr->lineEdit(), Qt::Key_Return);
        // Enter looks the number up; it does not join the list.
        QVERIFY(f.ui.cbStNr->count() == 0 && f.ui.cbKNr->count() == 0);
        // Enter in a name field goes on to TIMER, or to START when there is no countdown.
        for (QLineEdit *field :
             {f.ui.Reiter, f.ui.ePferd, f.ui.eVerein, f.ui.eFText1, f.ui.eFText2}) {
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), f.ui.bTimer);
        }
        Settings.Timer = 0;
        f.ui.bTimer->hide();
        QTest::keyClick(f.ui.Reiter, Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), f.ui.bSTART);
    }
};

QTEST_MAIN(tst_ResultsProtocol)
#include "tst_resultsprotocol.moc"
