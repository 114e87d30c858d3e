#pragma once

#include <QList>
#include <QStringList>

// A protocol of finished rounds for the export benchmarks: times, faults and points varying,
// optionally with the heading row first.
inline QList<QStringList> benchProtocol(int rows, bool headings)
{
    QList<QStringList> data;
    if (headings)
        data.append({"St.Nr", "KoNr.", "Pferd/Pony", "Reitername", "Verein", "R.-Zeit", "ZF",
                     "Straf", "Fehler", "Punkte", "Zeit", "Rang"});
    for (int r = 1; r <= rows; ++r) {
        const QString time =
            QStringLiteral("%1,%2").arg(55 + r % 30).arg(r % 100, 2, 10, QLatin1Char('0'));
        const QString faults = QString::number(4 * (r % 3));
        data.append({QString::number(r), QString::number(100 + r),
                     QStringLiteral("Pferd %1").arg(r), QStringLiteral("Reiterin %1 & Co").arg(r),
                     QStringLiteral("Verein %1").arg(r % 97), time, "0,00", faults, faults,
                     faults + QStringLiteral(",00"), time, QString::number(r)});
    }
    return data;
}
