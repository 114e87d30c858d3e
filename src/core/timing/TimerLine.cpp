#include "TimerLine.h"

#include <cstring>
#include <optional>

namespace {
// The devices' line layouts. x: a blank. y (or a leading x): the status letter or a blank; another
// first letter must stand as written. N: the start number, blanks or zeros before it. L: the round.
// The channel follows: in an impulse's layout C is any channel character and M the keypad's mark;
// in the other layouts every capital there is the channel's name as written. Then the figures:
// HH:MM:SS.zhtq a time of day ("," for the point as well), S, p and t other figures, + a sign,
// G and R anything. [..] at the end may be left out. A line may add a 2-character checksum.
struct Layout
{
    TimerModel model;
    TimerLine::Kind kind;
    const char *pattern;
};

constexpr Layout Layouts[] = {
    {TimerModel::Timy, TimerLine::Info, "yNNNNxRTxxHH:MM:SS.zhtqxGG[RRRR]"},
    {TimerModel::Timy, TimerLine::Info, "yNNNNxTTxxHH:MM:SS.zhtqxGG[RRRR]"},
    {TimerModel::Timy, TimerLine::Impulse, "yNNNNxCCCxHH:MM:SS.zhtqxGG[RRRR]"},
    {TimerModel::Timy, TimerLine::StartNumber, "nNNNN"},

    {TimerModel::Tdc8001, TimerLine::Impulse, "xNNNNxCCxxHH:MM:SS.zhtqxGR"},
    {TimerModel::Tdc8001, TimerLine::Impulse, "xNNNNxCCMxHH:MM:SS.zhtqxGR"},
    {TimerModel::Tdc8001, TimerLine::Info, "xNNNNxRTxxHH:MM:SS.zhtxxGR"},

    {TimerModel::Tdc8000, TimerLine::Impulse, "xNNNNLCCxxHH:MM:SS.zhtqxGR"},
    {TimerModel::Tdc8000, TimerLine::Impulse, "xNNNNLCCMxHH:MM:SS.zhtqxGR"},
    {TimerModel::Tdc8000, TimerLine::StartNumber, "nNNNN"},
    {TimerModel::Tdc8000, TimerLine::Info, "xNNNNLCDxxxxSSSSSS.zhxxxGR"},
    {TimerModel::Tdc8000, TimerLine::Info, "xNNNNLTOxxxxSSSSSS.zhxxxGR"},
    {TimerModel::Tdc8000, TimerLine::Info, "xNNNNLRTxxxxSSSSSS.zhxxxGR"},
    {TimerModel::Tdc8000, TimerLine::Info, "xNNNNxRTTxxxSSSSSS.zh"},
    {TimerModel::Tdc8000, TimerLine::Info, "xNNNNxPxxxxxxxx+pp.pp"},
    {TimerModel::Tdc8000, TimerLine::Info, "iNNNNxPxxxxxxxxxpp.pp"},
    {TimerModel::Tdc8000, TimerLine::Info, "xNNNNxPTMxxxxxxxpp.pp"},
    {TimerModel::Tdc8000, TimerLine::Info, "xNNNNxTPxxxxxxxxpp.pp"},
    {TimerModel::Tdc8000, TimerLine::Info, "xNNNNxPTOxxxxxx+tt.tt"},
    {TimerModel::Tdc8000, TimerLine::Info, "iNNNNxPTOxxxxxxxtt.tt"},
};

constexpr char Statuses[] = " ?mcCdin";
constexpr char TimeOfDay[] = "HH:MM:SS.";

bool oneOf(const char *set, char c)
{
    return c != '\0' && std::strchr(set, c);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A character a device writes into a line; control codes and bytes beyond ASCII are none.
bool isVisible(char c)
{
    return c >= ' ' && c <= '~';
}

int twoDigits(const char *at)
{
    return (at[0] == ' ' ? 0 : at[0] - '0') * 10 + (at[1] - '0');
}

// The start number's field: blanks, then digits up to its end; all blanks for none (-1).
std::optional<int> startNumber(const QByteArray &field)
{
    int i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    if (i == field.size())
        return -1;
    int number = 0;
    for (; i < field.size(); ++i) {
        if (!isDigit(field[i]))
            return std::nullopt;
        number = number * 10 + (field[i] - '0');
    }
    return number;
}

// "c0".."c9" and "C0".."C9", "M" after it for the keypad.
bool readImpulseChannel(TimerLine &line)
{
    const QByteArray &text = line.channelText;
    const bool keypad = text.size() == 3 && text[2] == 'M';
    if ((text.size() != 2 && !keypad) || (text[0] != 'c' && text[0] != 'C') || !isDigit(text[1]))
        return false;
    line.keypad = keypad;
    line.channel = text[1] == '0'   ? TimerLine::StartChannel
                   : text[1] == '1' ? TimerLine::FinishChannel
                                    : TimerLine::OtherChannel;
    return true;
}

// The line read by one layout, its fault set; nothing when the layout does not fit at all.
std::optional<TimerLine> readLayout(const Layout &layout, const QByteArray &line)
{
    QByteArray pattern(layout.pattern);
    int optional = 0;
    if (const int open = pattern.indexOf('['); open >= 0) {
        optional = pattern.size() - open - 2;
        pattern.truncate(open);
    }
    const int length = int(pattern.size());
    QByteArray body = line;
    QByteArray checksum;
    if (line.size() == length + 2 || (optional > 0 && line.size() == length + optional + 2)) {
        checksum = line.right(2);
        body.chop(2);
    } else if (line.size() > length + optional) {
        return std::nullopt;
    }
    const QByteArray characters = body; // what the checksum covers
    // Trailing blanks may have been cut off; a figure cut off stays missing below.
    body = body.leftJustified(length + optional, ' ');

    const bool impulse = layout.kind == TimerLine::Impulse;
    const int timeAt = int(pattern.indexOf(TimeOfDay));
    TimerLine parsed;
    parsed.kind = layout.kind;
    bool inChannel = false, inFigures = false;
    QByteArray number, channel;
    bool blankTime = false; // a logged line's time of day not written out
    for (int i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (!isVisible(c))
            return std::nullopt;
        if (i >= length)
            continue; // the optional characters: anything
        const char p = pattern[i];
        if (i == 0) {
            if (p == 'x' || p == 'y' ? !oneOf(Statuses, c) : c != p)
                return std::nullopt;
            parsed.status = c;
            continue;
        }
        if (p == 'N') {
            number += c;
            inChannel = true;
            continue;
        }
        if (p == 'L') {
            if (c != ' ' && !isDigit(c))
                return std::nullopt;
            parsed.round = c == ' ' ? 0 : c - '0';
            continue;
        }
        if (!inFigures && oneOf("HS+pt", p))
            inFigures = true;
        if (p == 'x') {
            if (c != ' ')
                return std::nullopt;
        } else if (inChannel && !inFigures) {
            if (impulse && p == 'C' ? false : c != p)
                return std::nullopt;
            channel += c;
        } else if (p == 'G' || p == 'R') {
            // the device's own marks: anything
        } else if (p == '.') {
            if (c != '.' && c != ',')
                return std::nullopt;
        } else if (p == ':') {
            if (c != ':')
                return std::nullopt;
        } else if (p == '+') {
            if (c != '+' && c != '-' && c != ' ')
                return std::nullopt;
        } else if (!isDigit(c)) {
            // Hours may be written with a blank for a leading zero; the other lines' figures are
            // only logged, so blanks there do not refuse them.
            if (c != ' ' || (impulse && i != timeAt))
                return std::nullopt;
            if (timeAt >= 0 && i > timeAt && i < timeAt + 8)
                blankTime = true;
        }
    }
    const std::optional<int> start = startNumber(number);
    if (!start || (layout.kind == TimerLine::StartNumber && *start < 0))
        return std::nullopt;
    parsed.startNumber = *start;
    parsed.channelText = channel.trimmed();

    if (!checksum.isEmpty() && timerChecksum(characters) != checksum)
        parsed.fault = TimerLine::Checksum;
    else if (impulse && !readImpulseChannel(parsed))
        parsed.fault = TimerLine::UnknownChannel;
    else if (timeAt >= 0 && !blankTime) {
        const char *at = body.constData() + timeAt;
        const int hours = twoDigits(at), minutes = twoDigits(at + 3), seconds = twoDigits(at + 6);
        if (hours > 23 || minutes > 59 || seconds > 59) {
            parsed.fault = TimerLine::TimeOutOfRange;
        } else if (impulse) {
            qint64 fraction = 0, scale = StampsPerSecond;
            for (int i = timeAt + 9; i < length && oneOf("zhtq", pattern[i]); ++i) {
                fraction = fraction * 10 + (body[i] - '0');
                scale /= 10;
            }
            parsed.stamp =
                ((hours * 60 + minutes) * 60 + seconds) * StampsPerSecond + fraction * scale;
        }
    }
    if (parsed.fault != TimerLine::NoFault) {
        parsed.kind = TimerLine::Invalid;
        parsed.channel = TimerLine::NoChannel;
        parsed.keypad = false;
    }
    return parsed;
}
} // namespace

QString timerModelKey(TimerModel model)
{
    switch (model) {
    case TimerModel::Tdc8001:
        return QStringLiteral("tdc8001");
    case TimerModel::Tdc8000:
        return QStringLiteral("tdc8000");
    case TimerModel::Timy:
        break;
    }
    return QStringLiteral("timy");
}

TimerModel timerModelFromKey(const QString &key)
{
    if (key == QLatin1String("tdc8001"))
        return TimerModel::Tdc8001;
    if (key == QLatin1String("tdc8000"))
        return TimerModel::Tdc8000;
    return TimerModel::Timy;
}

bool TimerLine::live() const
{
    return status == ' ' || status == '?' || status == 'n';
}

TimerLine parseTimerLine(TimerModel model, const QByteArray &line)
{
    // A stray line end and the blanks some firmware pads with are no part of the layout.
    qsizetype from = 0, to = line.size();
    while (from < to && (line[from] == '\r' || line[from] == '\n'))
        ++from;
    while (to > from && (line[to - 1] == ' ' || line[to - 1] == '\r' || line[to - 1] == '\n'))
        --to;
    const QByteArray text = line.mid(from, to - from);

    std::optional<TimerLine> faulty;
    for (const Layout &layout : Layouts) {
        if (layout.model != model)
            continue;
        std::optional<TimerLine> read = readLayout(layout, text);
        if (!read)
            continue;
        if (read->fault == TimerLine::NoFault) {
            read->raw = line;
            return *read;
        }
        if (!faulty)
            faulty = read;
    }
    TimerLine parsed = faulty.value_or(TimerLine{});
    if (!faulty)
        parsed.fault = TimerLine::Garbage;
    parsed.raw = line;
    return parsed;
}

QByteArray timerChecksum(const QByteArray &characters)
{
    unsigned sum = 0;
    for (const char c : characters)
        sum += uchar(c);
    sum &= 0xFF;
    const char digits[2] = {char(0x30 + (sum >> 4)), char(0x30 + (sum & 0x0F))};
    return QByteArray(digits, 2);
}

qint64 stampRunTime(qint64 start, qint64 finish)
{
    if (start < 0 || start >= StampsPerDay || finish < 0 || finish >= StampsPerDay)
        return -1;
    if (finish >= start)
        return finish - start;
    if (start - finish > StampsPerDay / 2)
        return finish + StampsPerDay - start;
    return -1;
}

QString stampText(qint64 stamp)
{
    if (stamp < 0 || stamp >= StampsPerDay)
        return {};
    const qint64 seconds = stamp / StampsPerSecond;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .arg(stamp % StampsPerSecond, 4, 10, QLatin1Char('0'));
}
