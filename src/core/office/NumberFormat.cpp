#include "NumberFormat.h"

#include <QDate>

#include <cmath>

namespace {

const char *const MonthNames[] = {"Januar",    "Februar", "März",     "April",
                                  "Mai",       "Juni",    "Juli",     "August",
                                  "September", "Oktober", "November", "Dezember"};
const char *const MonthShortNames[] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                       "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
const char *const DayNames[] = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                                "Freitag", "Samstag",  "Sonntag"};
const char *const DayShortNames[] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};

// The day after 31.12.9999, the last date a workbook can show.
constexpr double EndOfDates = 2958466;

// The first section of a code: a ";" inside quotes or after a backslash separates nothing.
QString firstSection(const QString &code)
{
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == u'"')
            quoted = !quoted;
        else if (c == u'\\' && !quoted)
            ++i;
        else if (c == u';' && !quoted)
            return code.left(i);
    }
    return code;
}

qsizetype runLength(const QString &text, qsizetype at)
{
    const QChar c = text.at(at).toLower();
    qsizetype end = at;
    while (end < text.size() && text.at(end).toLower() == c)
        ++end;
    return end - at;
}

QString padded(qint64 number, int width)
{
    return QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
}

} // namespace

NumberFormat::NumberFormat(const QString &code)
{
    parse(firstSection(code));
}

NumberFormat NumberFormat::builtIn(int id)
{
    // Those a German spreadsheet shows as such; dates in the German order, as Excel does there.
    switch (id) {
    case 1:
        return NumberFormat(QStringLiteral("0"));
    case 2:
        return NumberFormat(QStringLiteral("0.00"));
    case 3:
        return NumberFormat(QStringLiteral("#,##0"));
    case 4:
        return NumberFormat(QStringLiteral("#,##0.00"));
    case 14:
        return NumberFormat(QStringLiteral("dd.mm.yyyy"));
    case 15:
        return NumberFormat(QStringLiteral("d-mmm-yy"));
    case 16:
        return NumberFormat(QStringLiteral("d-mmm"));
    case 17:
        return NumberFormat(QStringLiteral("mmm-yy"));
    case 18:
        return NumberFormat(QStringLiteral("h:mm AM/PM"));
    case 19:
        return NumberFormat(QStringLiteral("h:mm:ss AM/PM"));
    case 20:
        return NumberFormat(QStringLiteral("hh:mm"));
    case 21:
        return NumberFormat(QStringLiteral("hh:mm:ss"));
    case 22:
        return NumberFormat(QStringLiteral("dd.mm.yyyy hh:mm"));
    case 45:
        return NumberFormat(QStringLiteral("mm:ss"));
    case 46:
        return NumberFormat(QStringLiteral("[h]:mm:ss"));
    case 47:
        return NumberFormat(QStringLiteral("mm:ss.0"));
    default:
        return NumberFormat();
    }
}

void NumberFormat::parse(const QString &section)
{
    if (section.contains(QLatin1String("general"), Qt::CaseInsensitive))
        return;
    QString plain; // the code without its literal texts, for the decimals of a number
    auto literal = [this](const QString &text) {
        if (!m_tokens.isEmpty() && m_tokens.last().part == Part::Literal)
            m_tokens.last().text += text;
        else
            m_tokens.append({Part::Literal, 0, text});
    };
    auto lastPart = [this] {
        for (qsizetype t = m_tokens.size() - 1; t >= 0; --t)
            if (m_tokens.at(t).part != Part::Literal)
                return m_tokens.at(t).part;
        return Part::Literal;
    };
    for (qsizetype i = 0; i < section.size();) {
        const QChar c = section.at(i);
        const QChar lower = c.toLower();
        if (c == u'"') {
            const qsizetype end = section.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype stop = end < 0 ? section.size() : end;
            literal(section.mid(i + 1, stop - i - 1));
            i = stop + 1;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            // An escaped character; the width of one (shown as a blank); a fill character.
            if (i + 1 < section.size() && c != u'*')
                literal(c == u'\\' ? QString(section.at(i + 1)) : QStringLiteral(" "));
            i += 2;
        } else if (c == u'[') {
            const qsizetype end = section.indexOf(QLatin1Char(']'), i + 1);
            const qsizetype stop = end < 0 ? section.size() : end;
            const QString inside = section.mid(i + 1, stop - i - 1).toLower();
            // [h], [mm], [ss]: a duration; colours, conditions and locales show nothing.
            if (!inside.isEmpty() && runLength(inside, 0) == inside.size()) {
                const QChar unit = inside.at(0);
                if (unit == u'h' || unit == u'm' || unit == u's')
                    m_tokens.append({unit == u'h'   ? Part::ElapsedHours
                                     : unit == u'm' ? Part::ElapsedMinutes
                                                    : Part::ElapsedSeconds,
                                     int(inside.size()),
                                     {}});
            }
            i = stop + 1;
        } else if (section.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0 ||
                   section.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            const int width = section.at(i + 1) == u'/' ? 3 : 5;
            m_tokens.append({Part::AmPm, width, section.mid(i, width)});
            i += width;
        } else if (lower == u'y' || lower == u'm' || lower == u'd' || lower == u'h' ||
                   lower == u's') {
            const qsizetype width = runLength(section, i);
            const Part part = lower == u'y'   ? Part::Year
                              : lower == u'm' ? Part::Month
                              : lower == u'd' ? Part::Day
                              : lower == u'h' ? Part::Hour
                                              : Part::Second;
            m_tokens.append({part, int(width), {}});
            i += width;
        } else if (c == u'.' && i + 1 < section.size() && section.at(i + 1) == u'0' &&
                   (lastPart() == Part::Second || lastPart() == Part::ElapsedSeconds)) {
            const qsizetype width = runLength(section, i + 1);
            m_tokens.append({Part::Fraction, int(std::min<qsizetype>(width, 3)), {}});
            m_fractionDigits = m_tokens.last().width;
            i += 1 + width;
        } else {
            literal(QString(c));
            plain += c;
            ++i;
        }
    }
    for (const Token &token : std::as_const(m_tokens))
        m_dateTime = m_dateTime || (token.part != Part::Literal && token.part != Part::AmPm);
    if (m_dateTime) {
        resolveMinutes();
        return;
    }
    m_tokens.clear();
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    if (point < 0) {
        m_decimals = plain.contains(QLatin1Char('0')) ? 0 : -1;
        return;
    }
    m_decimals = 0;
    for (qsizetype i = point + 1; i < plain.size() && plain.at(i) == u'0'; ++i)
        ++m_decimals;
}

// "m" is the month unless it follows an hour or comes before seconds; then it is minutes.
void NumberFormat::resolveMinutes()
{
    auto neighbour = [this](qsizetype from, int step) {
        for (qsizetype t = from + step; t >= 0 && t < m_tokens.size(); t += step)
            if (m_tokens.at(t).part != Part::Literal && m_tokens.at(t).part != Part::AmPm)
                return m_tokens.at(t).part;
        return Part::Literal;
    };
    for (qsizetype t = 0; t < m_tokens.size(); ++t) {
        if (m_tokens.at(t).part != Part::Month)
            continue;
        const Part before = neighbour(t, -1);
        const Part after = neighbour(t, 1);
        if (before == Part::Hour || before == Part::ElapsedHours || after == Part::Second ||
            after == Part::ElapsedSeconds)
            m_tokens[t].part = Part::Minute;
    }
}

QString NumberFormat::dateTimeText(double value, bool date1904) const
{
    if (!m_dateTime || !std::isfinite(value) || value < 0 || value >= EndOfDates)
        return {};
    // Rounded to what the format shows, as spreadsheets do: 00:01:05.27 stays 65.27 seconds
    // though a day's fraction cannot hold it exactly.
    qint64 scale = 1;
    for (int d = 0; d < m_fractionDigits; ++d)
        scale *= 10;
    const qint64 ticks = std::llround(value * 86400.0 * double(scale));
    const qint64 seconds = ticks / scale;
    const qint64 days = seconds / 86400;
    const qint64 ofDay = seconds % 86400;
    // 1900 counts a 29 February that never was; the days before it are one off.
    const QDate date = date1904    ? QDate(1904, 1, 1).addDays(days)
                       : days < 61 ? QDate(1899, 12, 31).addDays(days)
                                   : QDate(1899, 12, 30).addDays(days);
    bool twelveHours = false;
    for (const Token &token : m_tokens)
        twelveHours = twelveHours || token.part == Part::AmPm;
    const qint64 hour = ofDay / 3600;

    QString text;
    for (const Token &token : m_tokens) {
        const int w = token.width;
        switch (token.part) {
        case Part::Literal:
            text += token.text;
            break;
        case Part::Year:
            text += w <= 2 ? padded(date.year() % 100, 2) : padded(date.year(), 4);
            break;
        case Part::Month:
            text += w <= 2 ? padded(date.month(), w)
                    : w == 3
                        ? QString::fromUtf8(MonthShortNames[date.month() - 1])
                        : QString::fromUtf8(MonthNames[date.month() - 1]).left(w == 4 ? -1 : 1);
            break;
        case Part::Day:
            text += w <= 2   ? padded(date.day(), w)
                    : w == 3 ? QString::fromUtf8(DayShortNames[date.dayOfWeek() - 1])
                             : QString::fromUtf8(DayNames[date.dayOfWeek() - 1]);
            break;
        case Part::Hour:
            text += padded(twelveHours ? (hour + 11) % 12 + 1 : hour, std::min(w, 2));
            break;
        case Part::Minute:
            text += padded(ofDay / 60 % 60, std::min(w, 2));
            break;
        case Part::Second:
            text += padded(ofDay % 60, std::min(w, 2));
            break;
        case Part::Fraction:
            // The decimal comma, as everywhere in the protocol.
            text += QLatin1Char(',') + padded(ticks % scale, w);
            break;
        case Part::ElapsedHours:
            text += padded(seconds / 3600, w);
            break;
        case Part::ElapsedMinutes:
            text += padded(seconds / 60, w);
            break;
        case Part::ElapsedSeconds:
            text += padded(seconds, w);
            break;
        case Part::AmPm: {
            const bool am = hour < 12;
            QString marker = token.width == 3 ? QString(am ? QLatin1Char('A') : QLatin1Char('P'))
                                              : QLatin1String(am ? "AM" : "PM");
            text += token.text.at(0).isLower() ? marker.toLower() : marker;
            break;
        }
        }
    }
    return text;
}
