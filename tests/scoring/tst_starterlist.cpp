#include "MainWindowFixture.h"

#include "ProtocolRow.h"

namespace {
// What the operator sees of the chosen starter.
QString shown(TFormMainUi &ui)
{
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

QStringList starters(int count)
{
    QStringList items;
    for (int i = 1; i <= count; ++i)
        items << QStringLiteral("%1\t%2\tHorse %1\tRider %1\tClub %1").arg(i).arg(100 + i);
    return items;
}

QStringList headNumbers(const QStringList &items)
{
    QStringList heads;
    for (const QString &item : items)
        heads << StarterFields(item).value(1);
    return heads;
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
        QTest::newRow("tabs") << "12\t345\tHorse A\tRider A\tClub A"
                              << "12|12|345|Horse A|Rider A|Club A";
        QTest::newRow("empty head number keeps its place") << "12\t\tHorse A\tRider A\tClub A"
                                                           << "12|12||Horse A|Rider A|Club A";
        QTest::newRow("semicolons") << "12;345;Horse A;Rider A;Club A"
                                    << "12|12|345|Horse A|Rider A|Club A";
        QTest::newRow("tabs win over semicolons") << "12;a\t7\tH; B\t  R  \t"
                                                  << "12;a|12;a|7|H; B|R  |";
        QTest::newRow("start number only") << "7"
                                           << "7|7";
    }

    void fields()
    {
        QFETCH(QString, item);
        QFETCH(QString, expected);
        QCOMPARE((QStringList{StartNumberKey(item)} + StarterFields(item)).join(QLatin1Char('|')),
                 expected);
    }

    void stepping()
    {
        MainWindowFixture f;
        const QStringList items = starters(40);
        f.window->starters().setStarters(items, headNumbers(items));
        QCOMPARE(shown(f.ui), QStringLiteral("1|101|Horse 1|Rider 1|Club 1|1 von 40|-|>"));
        f.ui.sb1p->click();
        f.ui.sb1p->click();
        QCOMPARE(shown(f.ui), QStringLiteral("3|103|Horse 3|Rider 3|Club 3|3 von 40|<|>"));
        f.ui.sb1m->click();
        QCOMPARE(shown(f.ui).section('|', 5), QStringLiteral("2 von 40|<|>"));

        // NEXT steps on; at the last starter it keeps the starter and clears the rider.
        f.ui.cbStNr->setCurrentIndex(38);
        QCOMPARE(shown(f.ui), QStringLiteral("39|139|Horse 39|Rider 39|Club 39|39 von 40|<|>"));
        f.window->protocol().bRESETClick();
        QCOMPARE(shown(f.ui), QStringLiteral("40|140|Horse 40|Rider 40|Club 40|40 von 40|<|-"));
        f.window->protocol().bRESETClick();
        QCOMPARE(shown(f.ui), QStringLiteral("40|||||40 von 40|<|-"));

        // Clearing the protocol leaves plain fields, and its NEXT counts "0" up to the first rider.
        f.boxes.answers = {true};
        f.window->protocol().sbCLSClick();
        QVERIFY(f.ui.cbStNr->isEditable());
        QCOMPARE(f.ui.cbStNr->count(), 0);
        QCOMPARE(shown(f.ui), QStringLiteral("1|||||0 von 0|-|-"));
    }

    void choosingAHeadNumber()
    {
        MainWindowFixture f;
        const QStringList items{"11\t344\tH1\tR1\tC1", "12\t345\tHorse A\tRider A\tClub A",
                                "13\t346\tH3\tR3\tC3"};
        f.window->starters().setStarters(items, headNumbers(items));
        f.ui.cbKNr->setFocus();
        f.ui.cbKNr->lineEdit()->selectAll();
        QTest::keyClicks(f.ui.cbKNr->lineEdit(), QStringLiteral("345"));
        QCOMPARE(shown(f.ui), QStringLiteral("12|345|Horse A|Rider A|Club A|2 von 3|<|>"));
        // A head number not in the list selects nobody and leaves the rider shown.
        QTest::keyClicks(f.ui.cbKNr->lineEdit(), QStringLiteral("9"));
        QCOMPARE(shown(f.ui), QStringLiteral("|3459|Horse A|Rider A|Club A|0 von 3|-|>"));
        // Enter looks the number up; it does not join the list beside the protocol's rows.
        QTest::keyClick(f.ui.cbKNr->lineEdit(), Qt::Key_Return);
        QCOMPARE(f.ui.cbKNr->count(), 3);
        f.ui.sb1p->click();
        QCOMPARE(shown(f.ui).section('|', 0, 1), QStringLiteral("11|344"));
    }

    void selectsTheRidersRow()
    {
        MainWindowFixture f;
        QList<QStringList> rows;
        for (int i = 1; i <= 60; ++i)
            rows << QStringList{QString::number(i), QString(), QStringLiteral("H%1").arg(i)};
        f.ui.SortGrid1->setDataRows(rows);
        const QStringList items = starters(60);
        f.window->starters().setStarters(items, headNumbers(items));
        f.ui.cbStNr->setCurrentIndex(44);
        QCOMPARE(f.ui.SortGrid1->currentGridRow(), 45);
        QCOMPARE(f.ui.SortGrid1->rowAt(0), 44); // scrolled to the top
        // EINTRAGEN files the run under the start number alone.
        QCOMPARE(f.ui.cbStNr->currentText(), QStringLiteral("45"));
    }

    void keys()
    {
        MainWindowFixture f;
        f.ui.cbStNr->setEditText(QStringLiteral("7"));
        QTest::keyClicks(f.ui.cbStNr->lineEdit(), QStringLiteral("a1-"));
        QCOMPARE(f.ui.cbStNr->currentText(), QStringLiteral("71"));
        QTest::keyClick(f.ui.cbStNr->lineEdit(), Qt::Key_Return);
        QCOMPARE(f.ui.cbStNr->count(), 0);

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
