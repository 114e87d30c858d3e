#include "MainWindowFixture.h"

#include "ProtocolRow.h"

namespace {
// What the operator sees of the chosen starter.
QString shown(const MainWindowFixture &f)
{
    const TFormMainUi &ui = f.ui;
    return QStringList{ui.cbStNr->currentText(),
                       ui.cbKNr->currentText(),
                       ui.ePferd->text(),
                       ui.Reiter->text(),
                       ui.eVerein->text(),
                       ui.LabelBase->text(),
                       ui.sb1m->isEnabled() ? "<" : "-",
                       ui.sb1p->isEnabled() ? ">" : "-"}
        .join(QLatin1Char('|'));
}

void setStarters(MainWindowFixture &f, const QStringList &items)
{
    QStringList heads;
    for (const QString &item : items)
        heads << StarterFields(item).value(1);
    f.window->starters().setStarters(items, heads);
}
} // namespace

class tst_StarterList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Settings = TSettings{}; }

    void fields_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("expected"); // start number, head number, horse, rider, club
        QTest::newRow("tabs") << "12\t345\tH A\tR A\tC A"
                              << "12|12|345|H A|R A|C A";
        QTest::newRow("empty head number keeps its place") << "12\t\tH A\tR A\tC A"
                                                           << "12|12||H A|R A|C A";
        QTest::newRow("semicolons") << "12;345;H A;R A;C A"
                                    << "12|12|345|H A|R A|C A";
        QTest::newRow("tabs win over semicolons") << "12;a\t7\tH; B\t  R  \t"
                                                  << "12;a|12;a|7|H; B|R  |";
        QTest::newRow("start number only") << "7"
                                           << "7|7";
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
        QList<QStringList> rows;
        QStringList items;
        for (int i = 1; i <= 60; ++i) {
            rows << QStringList{QString::number(i), QString(), QStringLiteral("H%1").arg(i)};
            items << QStringLiteral("%1\t%2\tHorse %1\tRider %1\tClub %1").arg(i).arg(100 + i);
        }
        f.ui.SortGrid1->setDataRows(rows);
        setStarters(f, items);
        QCOMPARE(shown(f), QStringLiteral("1|101|Horse 1|Rider 1|Club 1|1 von 60|-|>"));
        f.ui.sb1p->click();
        f.ui.sb1p->click();
        f.ui.sb1m->click();
        QCOMPARE(shown(f), QStringLiteral("2|102|Horse 2|Rider 2|Club 2|2 von 60|<|>"));
        // The rider's row is selected and scrolled to the top; EINTRAGEN files the run under
        // the start number alone.
        f.ui.cbStNr->setCurrentIndex(44);
        QVERIFY(f.ui.SortGrid1->currentGridRow() == 45 && f.ui.SortGrid1->rowAt(0) == 44);
        QCOMPARE(f.ui.cbStNr->currentText(), QStringLiteral("45"));

        // NEXT steps on; at the last starter it keeps the starter and clears the rider.
        f.ui.cbStNr->setCurrentIndex(58);
        f.window->protocol().bRESETClick();
        QCOMPARE(shown(f), QStringLiteral("60|160|Horse 60|Rider 60|Club 60|60 von 60|<|-"));
        f.window->protocol().bRESETClick();
        QCOMPARE(shown(f), QStringLiteral("60|||||60 von 60|<|-"));

        // Clearing the protocol leaves plain fields, and its NEXT counts "0" up to the first rider.
        f.boxes.answers = {true};
        f.window->protocol().sbCLSClick();
        QVERIFY(f.ui.cbStNr->isEditable() && f.ui.cbStNr->count() == 0);
        QCOMPARE(shown(f), QStringLiteral("1|||||0 von 0|-|-"));
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

QTEST_MAIN(tst_StarterList)
#include "tst_starterlist.moc"
