#include "WebFormats.h"

#include "ResultOrder.h"
#include "RunTimeText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QXmlStreamWriter>

#include <algorithm>
#include <array>
#include <limits>

namespace WebFormats {
namespace {

// The fields of a row object, in the order XML and CSV write them.
enum RowField
{
    FRank,
    FStartNumber,
    FHeadNumber,
    FRider,
    FHorse,
    FClub,
    FFaults,
    FPenaltySeconds,
    FTimeFaults,
    FPoints,
    FTime,
    FRideTime,
    FAbort,
    RowFieldCount
};

const std::array<QString, RowFieldCount> &fieldNames()
{
    static const std::array<QString, RowFieldCount> names{
        QStringLiteral("rank"),   QStringLiteral("startNumber"),    QStringLiteral("headNumber"),
        QStringLiteral("rider"),  QStringLiteral("horse"),          QStringLiteral("club"),
        QStringLiteral("faults"), QStringLiteral("penaltySeconds"), QStringLiteral("timeFaults"),
        QStringLiteral("points"), QStringLiteral("time"),           QStringLiteral("rideTime"),
        QStringLiteral("abort")};
    return names;
}

using RowFields = std::array<QString, RowFieldCount>;

// A time cell that holds no number but a text ("EL", "Ret.", "N.st.", a language's own) marks a
// run that ended without a time.
bool isAbortText(const QString &cell)
{
    double value = 0;
    return !cell.trimmed().isEmpty() && !readResultNumber(cell, value);
}

RowFields rowFields(const QStringList &row)
{
    RowFields f;
    f[FRank] = row.value(ColRank);
    f[FStartNumber] = StartNumberKey(row.value(ColStartNumber));
    f[FHeadNumber] = row.value(ColHeadNumber);
    f[FRider] = row.value(ColRider);
    f[FHorse] = row.value(ColHorse);
    f[FClub] = row.value(ColClub);
    f[FFaults] = row.value(ColFaults);
    f[FPenaltySeconds] = row.value(ColPenalty);
    f[FTimeFaults] = row.value(ColTimeFaults);
    const QString total = row.value(ColTotalTime);
    if (isAbortText(total)) {
        f[FAbort] = total;
    } else {
        f[FPoints] = row.value(ColPoints);
        f[FTime] = total;
        f[FRideTime] = row.value(ColRideTime);
    }
    for (QString &text : f)
        text = validText(text);
    return f;
}

// The data rows of a protocol: the headings row left out, and the blank row an empty grid
// holds, which is no result.
QList<QStringList> dataRows(const QList<QStringList> &protocol)
{
    QList<QStringList> rows;
    rows.reserve(protocol.size());
    for (qsizetype r = 1; r < protocol.size(); ++r) {
        const QStringList &row = protocol.at(r);
        if (std::any_of(row.cbegin(), row.cend(),
                        [](const QString &field) { return !field.trimmed().isEmpty(); }))
            rows.append(row);
    }
    return rows;
}

QJsonArray headingsArray(const QList<QStringList> &protocol)
{
    const QStringList headings = protocol.value(0);
    QJsonArray array;
    for (int c = 0; c < ProtocolColumnCount; ++c)
        array.append(validText(headings.value(c)));
    return array;
}

QString phaseText(RunPhase phase)
{
    switch (phase) {
    case RunPhase::Countdown:
        return QStringLiteral("countdown");
    case RunPhase::Running:
        return QStringLiteral("running");
    case RunPhase::Held:
        return QStringLiteral("held");
    case RunPhase::Stopped:
        return QStringLiteral("stopped");
    case RunPhase::Entered:
        return QStringLiteral("entered");
    case RunPhase::Aborted:
        return QStringLiteral("aborted");
    case RunPhase::Idle:
        break;
    }
    return QStringLiteral("idle");
}

// XML 1.0 has no way to carry most control characters, nor U+FFFE and U+FFFF, even as
// references: they become U+FFFD. Tab, CR and LF stay.
QString xmlText(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0xFFFE || u == 0xFFFF)
            c = QChar::ReplacementCharacter;
    }
    return out;
}

// A reader turns a CR in character data into LF; written as a reference it stays a CR.
void writeXmlText(QXmlStreamWriter &xml, const QString &name, const QString &text)
{
    xml.writeStartElement(name);
    const QStringList parts = xmlText(text).split(QLatin1Char('\r'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            xml.writeEntityReference(QStringLiteral("#13"));
        xml.writeCharacters(parts.at(i));
    }
    xml.writeEndElement();
}

void appendCsvField(QByteArray &out, const QString &text)
{
    static const QString special = QStringLiteral("\",;\r\n\t");
    bool quote = false;
    for (QChar c : text) {
        if (special.contains(c)) {
            quote = true;
            break;
        }
    }
    if (!quote) {
        out += text.toUtf8();
        return;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    out += '"' + quoted.toUtf8() + '"';
}

void appendCsvLine(QByteArray &out, const RowFields &fields)
{
    for (int i = 0; i < RowFieldCount; ++i) {
        if (i > 0)
            out += ',';
        appendCsvField(out, fields[i]);
    }
    out += "\r\n";
}

// How a row's rank follows from its place: its place (k + 1), the rank of the row above (a tie),
// or its own text (an abort). Rows moved down by an entry above keep their code, so the splice
// of an entered run leaves them out.
enum class RankCode
{
    Place,
    Tie,
    Own
};

RankCode rankCode(const QList<QStringList> &rows, qsizetype k)
{
    const QString &rank = rows.at(k).value(ColRank);
    if (rank == QString::number(k + 1))
        return RankCode::Place;
    if (k > 0 && rank == rows.at(k - 1).value(ColRank))
        return RankCode::Tie;
    return RankCode::Own;
}

// Two rows the page shows alike, at their places in their lists.
bool sameRow(const QList<QStringList> &a, qsizetype ka, const QList<QStringList> &b, qsizetype kb)
{
    const QStringList &x = a.at(ka), &y = b.at(kb);
    if (x.size() != y.size())
        return false;
    for (qsizetype c = 0; c < x.size(); ++c) {
        if (c != ColRank && x.at(c) != y.at(c))
            return false;
    }
    const RankCode code = rankCode(a, ka);
    return code == rankCode(b, kb) &&
           (code != RankCode::Own || x.value(ColRank) == y.value(ColRank));
}

} // namespace

QString validText(const QString &text)
{
    const qsizetype n = text.size();
    const QChar *s = text.constData();
    qsizetype i = 0;
    // Most texts have no surrogate at all: they are returned shared, without a copy.
    while (i < n && !s[i].isSurrogate())
        ++i;
    if (i == n)
        return text;
    QString out = text;
    for (; i < n; ++i) {
        if (s[i].isHighSurrogate() && i + 1 < n && s[i + 1].isLowSurrogate())
            ++i;
        else if (s[i].isSurrogate())
            out[i] = QChar::ReplacementCharacter;
    }
    return out;
}

QJsonObject rowObject(const QStringList &row, bool withRank)
{
    const RowFields fields = rowFields(row);
    QJsonObject object;
    for (int i = withRank ? 0 : 1; i < RowFieldCount; ++i)
        object.insert(fieldNames()[i], fields[i]);
    return object;
}

QByteArray liveJson(const LiveSnapshot &snapshot, quint32 now)
{
    const LiveSnapshot::Competition &competition = snapshot.competition;
    const LiveSnapshot::Starter &starter = snapshot.starter;
    const LiveRun &run = snapshot.run;

    QJsonObject starterObject{
        {QStringLiteral("startNumber"), validText(StartNumberKey(starter.startNumber))},
        {QStringLiteral("headNumber"), validText(starter.headNumber)},
        {QStringLiteral("rider"), validText(starter.rider)},
        {QStringLiteral("horse"), validText(starter.horse)},
        {QStringLiteral("club"), validText(starter.club)},
        {QStringLiteral("position"), starter.position < 0 ? 0 : starter.position + 1},
        {QStringLiteral("count"), int(starter.items.size())}};

    const qint32 hundredths = run.shownHundredths(now);
    const bool moving =
        !run.standing && (run.phase == RunPhase::Running || run.phase == RunPhase::Countdown);
    QJsonObject runObject{
        {QStringLiteral("phase"), phaseText(run.phase)},
        {QStringLiteral("moving"), moving},
        {QStringLiteral("countdown"), run.countdown},
        {QStringLiteral("hundredths"), hundredths},
        {QStringLiteral("time"), FormatRunTime(qint64(hundredths) * 10, competition.decimals)}};

    QJsonObject scoringObject{
        {QStringLiteral("faults"), validText(snapshot.scoring.faults)},
        {QStringLiteral("penaltySeconds"), validText(snapshot.scoring.penaltySeconds)},
        {QStringLiteral("timeFaults"), validText(snapshot.scoring.timeFaults)},
        {QStringLiteral("total"), validText(snapshot.scoring.total)}};

    const LiveSnapshot::Result &result = snapshot.result;
    QJsonObject resultObject{{QStringLiteral("rank"), validText(result.rank)},
                             {QStringLiteral("text"), validText(result.text)},
                             {QStringLiteral("row"), result.row.isEmpty()
                                                         ? QJsonValue(QJsonValue::Null)
                                                         : QJsonValue(rowObject(result.row))}};

    QJsonValue toBeat(QJsonValue::Null);
    for (qsizetype r = 1; r < snapshot.protocol.size(); ++r) {
        const QStringList &row = snapshot.protocol.at(r);
        if (row.value(ColRank) == QLatin1String("1")) {
            toBeat = QJsonObject{{QStringLiteral("points"), validText(row.value(ColPoints))},
                                 {QStringLiteral("time"), validText(row.value(ColTotalTime))}};
            break;
        }
    }

    const QJsonObject live{
        {QStringLiteral("title1"), validText(competition.title1)},
        {QStringLiteral("title2"), validText(competition.title2)},
        {QStringLiteral("procedure"), JudgingProcedureName(competition.procedure)},
        {QStringLiteral("allowedSeconds"), competition.allowedSeconds},
        {QStringLiteral("decimals"), competition.decimals},
        {QStringLiteral("starter"), starterObject},
        {QStringLiteral("run"), runObject},
        {QStringLiteral("scoring"), scoringObject},
        {QStringLiteral("info"), validText(snapshot.info)},
        {QStringLiteral("result"), resultObject},
        {QStringLiteral("toBeat"), toBeat},
        {QStringLiteral("revision"), double(snapshot.protocolRevision)}};
    return QJsonDocument(live).toJson(QJsonDocument::Compact);
}

QByteArray resultsJson(const LiveSnapshot &snapshot)
{
    QJsonArray rows;
    for (const QStringList &row : dataRows(snapshot.protocol))
        rows.append(rowObject(row));
    return QJsonDocument(rows).toJson(QJsonDocument::Compact);
}

QByteArray resultsXml(const LiveSnapshot &snapshot)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("results"));
    for (const QStringList &row : dataRows(snapshot.protocol)) {
        const RowFields fields = rowFields(row);
        xml.writeStartElement(QStringLiteral("row"));
        for (int i = 0; i < RowFieldCount; ++i)
            writeXmlText(xml, fieldNames()[i], fields[i]);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

QByteArray resultsCsv(const LiveSnapshot &snapshot)
{
    QByteArray out;
    appendCsvLine(out, fieldNames());
    for (const QStringList &row : dataRows(snapshot.protocol))
        appendCsvLine(out, rowFields(row));
    return out;
}

QByteArray rowsMessage(const QList<QStringList> &before, quint64 beforeRevision,
                       const QList<QStringList> &after, quint64 revision)
{
    // New headings (another language) go out with the whole list, as on connect.
    const bool whole = before.isEmpty() || before.constFirst() != after.value(0);
    const QList<QStringList> old = whole ? QList<QStringList>() : dataRows(before);
    const QList<QStringList> rows = dataRows(after);

    const qsizetype shorter = qMin(old.size(), rows.size());
    qsizetype prefix = 0;
    while (prefix < shorter && sameRow(old, prefix, rows, prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           sameRow(old, old.size() - 1 - suffix, rows, rows.size() - 1 - suffix))
        ++suffix;

    QJsonArray insert;
    for (qsizetype r = prefix; r < rows.size() - suffix; ++r) {
        QJsonObject row = rowObject(rows.at(r), false);
        const RankCode code = rankCode(rows, r);
        if (code == RankCode::Tie)
            row.insert(QStringLiteral("tie"), true);
        else if (code == RankCode::Own)
            row.insert(QStringLiteral("rank"), validText(rows.at(r).value(ColRank)));
        insert.append(row);
    }

    QJsonObject message{{QStringLiteral("rev"), double(revision)},
                        {QStringLiteral("base"), whole ? -1.0 : double(beforeRevision)},
                        {QStringLiteral("at"), double(prefix)},
                        // A whole list replaces whatever the page holds: JavaScript's
                        // splice takes a count past the end as "all".
                        {QStringLiteral("remove"), whole
                                                       ? double(std::numeric_limits<qint32>::max())
                                                       : double(old.size() - prefix - suffix)},
                        {QStringLiteral("insert"), insert},
                        {QStringLiteral("count"), double(rows.size())}};
    if (whole)
        message.insert(QStringLiteral("headings"), headingsArray(after));
    return QJsonDocument(message).toJson(QJsonDocument::Compact);
}

QByteArray showJson(const ShowArenas &show, qint64 nowMs)
{
    // What an arena sent is read again, never passed on as it came: a broken message is null.
    QJsonArray arenas;
    for (const ShowArena &arena : show.arenas) {
        QJsonValue live(QJsonValue::Null);
        const QJsonDocument liveDocument = QJsonDocument::fromJson(arena.live);
        if (liveDocument.isObject()) {
            QJsonObject object = liveDocument.object();
            // A picture stamped just after the request read its clock is new, never younger.
            object.insert(QStringLiteral("ageMs"),
                          double(qMax<qint64>(0, nowMs - arena.liveReceivedMs)));
            live = object;
        }
        const QJsonDocument resultsDocument = QJsonDocument::fromJson(arena.results);
        arenas.append(QJsonObject{{QStringLiteral("name"), validText(arena.name)},
                                  {QStringLiteral("online"), arena.online},
                                  {QStringLiteral("live"), live},
                                  {QStringLiteral("results"),
                                   resultsDocument.isArray() ? QJsonValue(resultsDocument.array())
                                                             : QJsonValue(QJsonValue::Null)}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("show"), validText(show.show)},
                                     {QStringLiteral("arenas"), arenas}})
        .toJson(QJsonDocument::Compact);
}

} // namespace WebFormats
