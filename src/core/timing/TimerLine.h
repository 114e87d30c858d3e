#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The timing devices whose ASCII output the program reads, as the settings name them
// ("timy", "tdc8001", "tdc8000").
enum class TimerModel
{
    Timy,
    Tdc8001,
    Tdc8000
};
QString timerModelKey(TimerModel model);
// An unknown key reads as the Timy.
TimerModel timerModelFromKey(const QString &key);

// A time of day as a timing device stamps it, in 1/10,000 s since midnight.
inline constexpr qint64 StampsPerSecond = 10000;
inline constexpr qint64 StampsPerDay = 24 * 3600 * StampsPerSecond;

// One line of a timing device's output, as read.
struct TimerLine
{
    enum Kind
    {
        Invalid,     // see fault
        Impulse,     // a time of day on a channel
        StartNumber, // "n0002": the device's active start number, nothing else
        Info         // run time, countdown, time-out, penalties: logged, never timed
    };
    enum Fault
    {
        NoFault,
        Garbage,        // no layout of the device fits
        TooLong,        // no line end within the bound; the bytes up to the next end are dropped
        Checksum,       // the appended checksum does not match
        UnknownChannel, // the layout fits, the channel is none the device has
        TimeOutOfRange  // hours, minutes or seconds beyond the day
    };
    enum Channel
    {
        NoChannel,
        StartChannel,  // c0 / C0
        FinishChannel, // c1 / C1
        OtherChannel   // c2..c9, RT, TT, CD, TO, ...
    };

    Kind kind = Invalid;
    Fault fault = NoFault;
    QByteArray raw;     // the line as received, without its line end
    char status = ' ';  // the status letter, or a blank
    int startNumber = -1; // -1: none given
    QByteArray channelText; // as written, trimmed: "c0", "C1M", "RT", "PTM"
    Channel channel = NoChannel;
    bool keypad = false;   // an impulse given on the device's keypad ("c0M")
    int round = 0;         // the TdC 8000's round, 1 or 2; 0 when the layout has none
    qint64 stamp = -1;     // Impulse: the time of day in 1/10,000 s; -1 otherwise

    // An impulse happening now: blank, "?" (no valid number) or "n" (new number). Lines replayed
    // from the memory, cleared, disqualified or typed in are history, not impulses.
    bool live() const;
};

// Reads one line (without CR/LF) as model writes it. The layouts are one table in the source.
TimerLine parseTimerLine(TimerModel model, const QByteArray &line);

// The optional checksum of a line's characters: their codes' sum & 0xFF as two characters
// 0x30 + nibble, high nibble first.
QByteArray timerChecksum(const QByteArray &characters);

// The run time from start to finish stamp in 1/10,000 s, across midnight; -1 when the finish
// lies before the start. A run never lasts 12 hours: a finish stamped earlier in the day than its
// start crossed midnight only when the start lies more than 12 hours after the finish.
qint64 stampRunTime(qint64 start, qint64 finish);

// "15:43:55.6200"
QString stampText(qint64 stamp);
