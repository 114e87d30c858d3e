#include "ResultOrder.h"

#include <cmath>
#include <iterator>

namespace {
// Result cells rarely carry blanks; looking at the ends first keeps sorting fast.
inline QStringView trimmedView(QStringView text)
{
    if (text.isEmpty() || (!text.front().isSpace() && !text.back().isSpace()))
        return text;
    return text.trimmed();
}

double powerOfTen(int exponent)
{
    static const double table[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    return exponent < int(std::size(table)) ? table[exponent] : std::pow(10.0, exponent);
}
} // namespace

bool readResultNumber(QStringView text, double &value)
{
    text = trimmedView(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    // Digits are gathered into one integer and scaled once, so equal decimals written with
    // different trailing zeros ("1,5" and "1,50") give the identical double.
    double mantissa = 0;
    int digits = 0, fractionDigits = 0;
    bool inFraction = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            mantissa = mantissa * 10 + (c.unicode() - '0');
            ++digits;
            if (inFraction)
                ++fractionDigits;
        } else if ((c == QLatin1Char(',') || c == QLatin1Char('.')) && !inFraction) {
            inFraction = true;
        } else {
            return false;
        }
    }
    if (digits == 0)
        return false;
    const double v = mantissa / powerOfTen(fractionDigits);
    value = negative ? -v : v;
    return true;
}

namespace {
enum ResultClass
{
    NumberClass,
    TextClass,
    EliminatedClass,
    RetiredClass,
    NotStartedClass,
    EmptyClass
};

ResultClass classify(const QString &text, double &value)
{
    const QStringView t = trimmedView(text);
    if (t.isEmpty())
        return EmptyClass;
    // Most cells are numbers; only a letter can start an abort text.
    if (!t.front().isLetter())
        return readResultNumber(t, value) ? NumberClass : TextClass;
    if (t.compare(QLatin1String("EL"), Qt::CaseInsensitive) == 0)
        return EliminatedClass;
    if (t.compare(QLatin1String("RET."), Qt::CaseInsensitive) == 0)
        return RetiredClass;
    if (t.compare(QLatin1String("N.ST."), Qt::CaseInsensitive) == 0)
        return NotStartedClass;
    return readResultNumber(t, value) ? NumberClass : TextClass;
}
} // namespace

int CompareResultTexts(const QString &a, const QString &b)
{
    double va = 0, vb = 0;
    const ResultClass ca = classify(a, va);
    const ResultClass cb = classify(b, vb);
    if (ca != cb)
        return ca < cb ? -1 : 1;
    if (ca == NumberClass)
        return va < vb ? -1 : (va > vb ? 1 : 0);
    if (ca == TextClass && a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return QString::compare(a, b, Qt::CaseSensitive) < 0 ? -1 : (a == b ? 0 : 1);
}

ResultSortKey resultSortKey(const QString &text)
{
    double value = 0;
    const ResultClass c = classify(text, value);
    if (c == TextClass)
        value = double(text.size());
    else if (c != NumberClass)
        value = 0;
    return {int(c), value, c == NumberClass};
}

RankKeys rankKeysFor(JudgingProcedure procedure)
{
    if (procedure == JudgingProcedure::C)
        return {ColTotalTime, QString::number(ColPoints)};
    return {ColPoints, QString::number(ColTotalTime)};
}

QStringList rankTexts(const QStringList &points, const QStringList &times)
{
    QStringList ranks;
    ranks.reserve(times.size());
    QString previousTime, previousPoints;
    int currentRank = 1;
    for (qsizetype i = 0; i < times.size(); ++i) {
        double value = 0;
        const int rowNumber = int(i) + 1;
        const QString &rowPoints = i < points.size() ? points[i] : QString();
        if (!readResultNumber(times[i], value)) {
            ranks.append(times[i]);
        } else if (times[i] == previousTime && rowPoints == previousPoints) {
            ranks.append(QString::number(currentRank));
        } else {
            ranks.append(QString::number(rowNumber));
            previousTime = times[i];
            previousPoints = rowPoints;
            currentRank = rowNumber;
        }
    }
    return ranks;
}

const int ProtocolColumnWeights[ProtocolColumnCount] = {4, 4, 11, 20, 20, 7, 7, 7, 7, 7, 7, 6};

QVector<int> protocolColumnWidths(int clientWidth)
{
    QVector<int> widths(ProtocolColumnCount);
    int others = 0;
    for (int c = 0; c < ProtocolColumnCount; ++c) {
        if (c == ColRider)
            continue;
        widths[c] = int(std::nearbyint(clientWidth * ProtocolColumnWeights[c] / 100.0)) - 1;
        others += widths[c];
    }
    // One pixel of grid line per column.
    widths[ColRider] = clientWidth - others - ProtocolColumnCount;
    return widths;
}
