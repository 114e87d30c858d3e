#include "TFDlgYesNo.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// The shared question answers yes only for "Ja"; "Nein", Escape and closing answer no.
class tst_TFDlgYesNo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answers_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("yes");
        QTest::newRow("Ja") << "Ja" << true;
        QTest::newRow("Enter on Ja") << "Enter" << true;
        QTest::newRow("Nein") << "Nein" << false;
        QTest::newRow("Escape") << "Escape" << false;
        QTest::newRow("closed") << "close" << false;
    }

    void answers()
    {
        QFETCH(QString, how);
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
                QTest::keyClick(&dialog,
                                how == QLatin1String("Enter") ? Qt::Key_Return : Qt::Key_Escape);
        });
        QTEST(dialog.ask(QStringLiteral("Beenden?")), "yes");
        QCOMPARE(shownText, QStringLiteral("Beenden?"));
    }
};

QTEST_MAIN(tst_TFDlgYesNo)
#include "tst_tfdlgyesno.moc"
