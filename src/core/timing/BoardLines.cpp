#include "BoardLines.h"

namespace {
// The start number's last three digits, right-aligned; anything but digits is left out, as the
// boards show nothing else.
QByteArray numberField(const QString &startNumber)
{
    QByteArray digits;
    for (const QChar c : startNumber) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += char(c.unicode());
    }
    return digits.right(3).rightJustified(3, ' ');
}

// "HH:MM:SS" followed by `decimals` digits of the second, leading zero groups and a leading zero
// of the first group shown blank; all blank when the time is negative or reaches a day.
QByteArray timeField(qint32 hundredths, int decimals)
{
    const int width = 8 + (decimals > 0 ? decimals + 1 : 0);
    if (hundredths < 0 || hundredths >= 24 * 3600 * 100)
        return QByteArray(width, ' ');
    const qint32 seconds = hundredths / 100;
    const int groups[3] = {seconds / 3600, seconds / 60 % 60, seconds % 60};
    QByteArray field;
    bool shown = false;
    for (int g = 0; g < 3; ++g) {
        if (g > 0)
            field += shown ? ':' : ' ';
        const int value = groups[g];
        shown = shown || value > 0 || g == 2;
        if (!shown)
            field += "  ";
        else
            field +=
                QByteArray::number(value).rightJustified(2, field.trimmed().isEmpty() ? ' ' : '0');
    }
    if (decimals > 0) {
        field += '.';
        field += QByteArray::number(hundredths % 100).rightJustified(2, '0').left(decimals);
    }
    return field;
}

QByteArray rankField(int rank, bool zeroShown)
{
    if (rank < (zeroShown ? 0 : 1) || rank > 99)
        return "  ";
    return QByteArray::number(rank).rightJustified(2, ' ');
}
} // namespace

namespace BoardLines {
QByteArray runningSeconds(const QString &startNumber, qint32 hundredths)
{
    return numberField(startNumber) + '.' + QByteArray(4, ' ') + timeField(hundredths, 0) +
           QByteArray(4, ' ');
}

QByteArray runningTenths(const QString &startNumber, qint32 hundredths)
{
    return numberField(startNumber) + '.' + QByteArray(4, ' ') + timeField(hundredths, 1) + "  ";
}

QByteArray finalTime(const QString &startNumber, qint32 hundredths, int rank)
{
    // The thousandth stays blank: the program's times end at the hundredth.
    return numberField(startNumber) + 'C' + QByteArray(4, ' ') + timeField(hundredths, 2) + ' ' +
           rankField(rank, false);
}

QByteArray faults(const QString &startNumber, int faults)
{
    return numberField(startNumber) + 'C' + QByteArray(4, ' ') + QByteArray(12, ' ') +
           rankField(faults, true);
}
} // namespace BoardLines
