#include "WorkbookReader.h"

bool readWorkbook(const QString &, QList<QStringList> &, QString &reason)
{
    reason = QStringLiteral("Arbeitsmappen werden noch nicht gelesen.");
    return false;
}
