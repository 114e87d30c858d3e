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
    void answers_data();
    void answers();
};

void tst_TFDlgYesNo::answers_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Ja") << "Ja" << true;
    QTest::newRow("Enter on Ja") << "Enter" << true;
    QTest::newRow("Nein") << "Nein" << false;
    QTest::newRow("Escape") << "Escape" << false;
    QTest::newRow("closed") << "close" << false;
}

void tst_TFDlgYesNo::answers()
{
    QFETCH(QString, how);
    QFETCH(bool, yes);
    QApplication::setApplicationName(QStringLiteral("Rittmeter"));
    TFDlgYesNo dialog;
    QString shownText, shownTitle;
    // Answers once the dialog's own event loop runs.
    QTimer::singleShot(0, &dialog, [&] {
        shownText = dialog.Label1->text();
        shownTitle = dialog.windowTitle();
        if (how == QLatin1String("Ja"))
            dialog.OKBtn->click();
        else if (how == QLatin1String("Nein"))
            dialog.CancelBtn->click();
        else if (how == QLatin1String("Enter"))
            QTest::keyClick(&dialog, Qt::Key_Return);
        else if (how == QLatin1String("Escape"))
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
    });
    QCOMPARE(dialog.ask(QStringLiteral("Beenden?")), yes);
    QCOMPARE(shownText, QStringLiteral("Beenden?"));
    QCOMPARE(shownTitle, QStringLiteral("Rittmeter"));
    QCOMPARE(dialog.OKBtn->text(), QStringLiteral("Ja"));
    QCOMPARE(dialog.CancelBtn->text(), QStringLiteral("Nein"));
}

QTEST_MAIN(tst_TFDlgYesNo)
#include "tst_tfdlgyesno.moc"
