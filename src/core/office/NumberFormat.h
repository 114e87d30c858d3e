#pragma once

#include <QList>
#include <QString>

// A cell's number format as far as the program shows it: a number with a fixed count of decimals,
// or a date, time or duration written the way a German spreadsheet shows it ("01.05.2024",
// "01:05,27", "26:03:00"). Colours, conditions and locale tags of the code are ignored.
class NumberFormat
{
public:
    NumberFormat() = default;
    // The first section of a format code such as "0.00", "dd.mm.yyyy" or "[h]:mm:ss.00".
    explicit NumberFormat(const QString &code);
    // A format a workbook names by its number only; an unknown number is the general format.
    static NumberFormat builtIn(int id);

    bool isDateTime() const { return m_dateTime; }
    // The decimals a number format fixes, -1 where it fixes none; for dates and times -1.
    int decimals() const { return m_decimals; }
    // value as the date, time or duration it stands for, counted in days from the workbook's
    // epoch (1900 or 1904). Empty for a format that is no date or time, and for a value that is
    // no date (negative, or after the year 9999).
    QString dateTimeText(double value, bool date1904) const;

private:
    enum class Part
    {
        Literal,
        Year,
        Month,
        Day,
        Hour,
        Minute,
        Second,
        Fraction,
        ElapsedHours,
        ElapsedMinutes,
        ElapsedSeconds,
        AmPm
    };
    struct Token
    {
        Part part = Part::Literal;
        int width = 0; // letters written, or digits of a fraction
        QString text;  // a literal, or the AM/PM marker as written
    };

    void parse(const QString &section);
    void resolveMinutes();

    QList<Token> m_tokens;
    bool m_dateTime = false;
    int m_decimals = -1;
    int m_fractionDigits = 0;
};
