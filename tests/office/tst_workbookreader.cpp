#include "WorkbookReader.h"

#include <QtTest>

class tst_WorkbookReader : public QObject
{
    Q_OBJECT
private slots:
    void notYet()
    {
        QList<QStringList> rows;
        QString reason;
        QVERIFY(!readWorkbook(QStringLiteral("/nonexistent.xlsx"), rows, reason));
    }
};

QTEST_MAIN(tst_WorkbookReader)
#include "tst_workbookreader.moc"
