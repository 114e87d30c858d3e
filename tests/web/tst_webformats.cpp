#include "WebFormats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

using Rows = QList<QStringList>;

namespace {
const QString Names = "rank startNumber headNumber rider horse club faults penaltySeconds "
                      "timeFaults points time rideTime abort";

// Cells or fields in one line, split at '|'.
QStringList f(const QString &line)
{
    return line.split(u'|');
}
// "nr/time/rank nr/time/rank ...", headings first; a leading '#' gives other headings.
Rows list(const QString &spec)
{
    Rows rows{f(QString("Nr|Kopf|Pferd|%1|Verein|Zeit|Zf.|S|F|P|Ges.|Rang")
                    .arg(spec.startsWith('#') ? "Rider" : "Reiter"))};
    for (const QString &t : QString(spec).remove('#').split(' ', Qt::SkipEmptyParts))
        rows << f(QString("%1|K|Pferd %1|Reiter %1|RV|%2||0|0|0,00|%2|%3")
                      .arg(t.section('/', 0, 0), t.section('/', 1, 1), t.section('/', 2)));
    return spec.isEmpty() ? Rows() : rows;
}
// Values at paths ("run/phase headings/3"), joined by '|'; null or missing shows as "null".
QString pick(const QJsonValue &o, const QString &paths)
{
    QStringList values;
    for (const QString &path : paths.split(' ')) {
        QJsonValue v = o;
        for (const QString &key : path.split('/'))
            v = v.isArray() ? v[key.toInt()] : v[key];
        values << (v.isNull() || v.isUndefined() ? "null" : v.toVariant().toString());
    }
    return values.join('|');
}
// The row objects of results.json (or of any array of them) as lists of their fields.
Rows fieldsOf(const QJsonArray &objects)
{
    Rows out;
    for (const QJsonValue &o : objects)
        out << pick(o, Names).split('|');
    return out;
}
Rows fieldsOf(const Rows &protocol)
{
    LiveSnapshot s;
    s.protocol = protocol;
    return fieldsOf(QJsonDocument::fromJson(WebFormats::resultsJson(s)).array());
}

// RFC 4180, strict: a semicolon, tab or quote outside quotes would split a spreadsheet's column.
Rows readCsv(const QString &text)
{
    static const QRegularExpression field(R"re((?:"((?:[^"]|"")*)"|([^",;\t\r\n]*))(,|\r\n))re");
    Rows records{{}};
    for (qsizetype at = 0; at < text.size();) {
        const auto m = field.match(text, at, QRegularExpression::NormalMatch,
                                   QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch())
            return {};
        records.last() << m.captured(1).replace("\"\"", "\"") + m.captured(2);
        if (m.captured(3) == "\r\n")
            records << QStringList();
        at = m.capturedEnd();
    }
    return records.mid(0, records.size() - 1);
}

// The page's script: one splice, the count checked, then the ranks.
Rows applyRows(Rows page, const QJsonObject &m)
{
    if (m["base"].toInteger() == -1)
        page.clear();
    qsizetype at = m["at"].toInteger();
    page.remove(at, qMin(m["remove"].toInteger(), qint64(page.size() - at)));
    for (const QStringList &inserted : fieldsOf(m["insert"].toArray()))
        page.insert(at++, inserted);
    for (qsizetype k = 0; k < page.size(); ++k)
        page[k][0] = QString::number(k + 1);
    for (const QJsonValue &rank : m["ranks"].toArray())
        page[rank[0].toInteger()][0] = rank[1].toString();
    return page.size() == m["count"].toInteger() ? page : Rows();
}
} // namespace

class tst_WebFormats : public QObject
{
    Q_OBJECT
private slots:
    void everyFormatCarriesTheRow_data()
    {
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QString>("fields"); // as JSON and CSV give them; XML can't carry a bell
        const QString odd = "Hüpf \"Max\" <b> & Söhne \U0001F40E ]]>;a,b\tc\r\nd\ne\x07";
        QTest::newRow("markup, separators, line breaks, a lone surrogate")
            << "7\tx|12|Ross|Reiterin|" + odd + QChar(0xD800) + "|61,20||0|4|4,00|61,20|2"
            << "2|7|12|Reiterin|Ross|" + odd + QChar(0xFFFD) + "|4|0||4,00|61,20|61,20|";
        QTest::newRow("aborted") << "10||P|R|C|Ret.||0|8|Ret.|Ret.|Ret."
                                 << "Ret.|10||R|P|C|8|0|||||Ret.";
    }
    void everyFormatCarriesTheRow()
    {
        QFETCH(QString, cells);
        QFETCH(QString, fields);
        LiveSnapshot snapshot;
        snapshot.protocol = list("99/80,00/4");
        snapshot.protocol.insert(1, f(cells));
        const QStringList second = f("4|99|K|Reiter 99|Pferd 99|RV|0|0||0,00|80,00|80,00|");
        const QJsonDocument json = QJsonDocument::fromJson(WebFormats::resultsJson(snapshot));
        QCOMPARE(fieldsOf(json.array()), Rows({f(fields), second}));

        const QByteArray csv = WebFormats::resultsCsv(snapshot);
        QVERIFY(csv.startsWith("rank,")); // no byte order mark
        QCOMPARE(readCsv(QString::fromUtf8(csv)), Rows({Names.split(' '), f(fields), second}));

        QXmlStreamReader xml(WebFormats::resultsXml(snapshot));
        Rows xmlRows;
        QStringList tags;
        QVERIFY(xml.readNextStartElement() && xml.name() == u"results");
        while (xml.readNextStartElement()) {
            xmlRows << QStringList();
            for (tags.clear(); xml.readNextStartElement(); tags << xml.name().toString())
                xmlRows.last() << xml.readElementText();
        }
        QVERIFY(!xml.hasError() && tags == Names.split(' '));
        QCOMPARE(xmlRows, Rows({f(fields.replace(u'\x07', QChar(0xFFFD))), second}));
    }

    void liveState()
    {
        constexpr quint32 T0 = 0xFFFFF000u; // the counter wraps during the run
        LiveSnapshot s;
        s.competition.procedure = JudgingProcedure::CFahren;
        const auto check = [&](int decimals, quint32 now, const QString &expected) {
            s.competition.decimals = decimals;
            QCOMPARE(pick(QJsonDocument::fromJson(WebFormats::liveJson(s, T0 + now)).object(),
                          "run/phase run/moving run/countdown run/hundredths run/time procedure "
                          "starter/startNumber starter/position result/row/rider toBeat/time"),
                     expected);
        };
        // Nothing chosen, nothing entered, nobody ranked first.
        check(2, 0, "idle|false|false|0|0,00|C fahren||0|null|null");
        s.starter = {"12\tx", "K12", "Pferd", "Reiter", "Verein", 2, {"a", "b", "c"}, {}};
        s.protocol = list("5/60,00/Ret. 6/61,20/1");
        s.result = {s.protocol[1], "Ret.", "Ret."};
        const QString set = "|C fahren|12|3|Reiter 5|61,20";
        s.run.start(T0), check(1, 65439, "running|true|false|6543|65,4" + set);
        s.run.hold(T0 + 10009), check(2, 90000, "held|false|false|1000|10,00" + set);
        s.run.giveCountdown(T0, 45000), check(2, 1005, "countdown|true|true|4400|44,00" + set);
        s.run.standCountdown(T0 + 2000), s.run.abort(T0 + 3000);
        check(0, 9000, "aborted|false|true|4300|43" + set);
    }

    void rowsMessageAppliedGivesTheNewList_data()
    {
        QTest::addColumn<QString>("before"); // empty: a page that just connected
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("inserted"); // rows the message carries
        const QString abc = "1/60/1 2/61/2 3/62/3";
        QTest::newRow("whole list") << "" << abc << 3;
        QTest::newRow("inserted in the middle") << abc << "1/60/1 9/60,5/2 2/61/3 3/62/4" << 1;
        QTest::newRow("re-ranked forward") << abc << "3/59/1 1/60/2 2/61/3" << 3;
        QTest::newRow("removed, one row edited") << abc << "1/60/1 3/62,5/2" << 1;
        QTest::newRow("a tie and an abort") << abc << "1/60/1 2/61/2 8/61/2 3/62/4 5/EL/EL" << 3;
        QTest::newRow("other headings") << abc << "#" + abc << 3;
        QString big; // one entered in the middle: the rest keep their rows
        for (int i = 1; i <= 2001; ++i)
            big += QString(" %1/100/%1").arg(i);
        QTest::newRow("2000 rows, one entered")
            << QString(big).remove(" 1001/100/1001") << big << 1;
    }
    void rowsMessageAppliedGivesTheNewList()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        const Rows old = list(before), now = list(after);
        const QByteArray bytes = WebFormats::rowsMessage(old, 5, now, 6);
        QVERIFY2(bytes.size() < 400 || now.size() < 10, bytes.constData());
        const QJsonObject m = QJsonDocument::fromJson(bytes).object();
        QTEST(int(m["insert"].toArray().size()), "inserted");
        const bool whole = old.isEmpty() || old[0] != now[0];
        QCOMPARE(pick(m, "base rev headings/3"), whole ? "-1|6|" + now[0][3] : "5|6|null");
        // A page that reconnects still holds its old rows until the whole list replaces them.
        QCOMPARE(applyRows(fieldsOf(old.isEmpty() ? list("7/1/1") : old), m), fieldsOf(now));
    }
};

QTEST_GUILESS_MAIN(tst_WebFormats)
#include "tst_webformats.moc"
