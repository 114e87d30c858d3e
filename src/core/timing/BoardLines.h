#pragma once

#include <QByteArray>
#include <QString>

// The lines of an ALGE GAZ / D-LINE scoreboard, without the CR that ends each. The start number
// takes 3 digits (its last three; blanks for none); leading zero groups of a time are blanks, as the
// boards show them.
namespace BoardLines {
// "NNN.xxxxxxxxM:SSxxxx": a running time (or a countdown) in whole seconds.
QByteArray runningSeconds(const QString &startNumber, qint32 hundredths);
// "NNN.xxxxHH:MM:SS.zxx": a running time with tenths.
QByteArray runningTenths(const QString &startNumber, qint32 hundredths);
// "NNNCxxxxHH:MM:SS.zhtRR": a final time with hundredths (the thousandth blank) and the rank;
// hundredths < 0 leaves the time blank, rank 0 (or beyond 99) the rank digits.
QByteArray finalTime(const QString &startNumber, qint32 hundredths, int rank);
// The start number and faults, the faults in the rank digits (0..99).
QByteArray faults(const QString &startNumber, int faults);
// Characters on the line, with its CR: what one line costs on the wire.
inline constexpr int LineLength = 23;
} // namespace BoardLines
