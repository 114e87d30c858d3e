#include "TempSettingsStore.h"

#include <QtTest>

namespace {

// "key=value|key|..." as a map; a key without a value stands for a key the store lacks.
QVariantMap entries(const QString &text)
{
    QVariantMap map;
    for (const QString &entry : text.split(u'|', Qt::SkipEmptyParts))
        map[entry.section(u'=', 0, 0)] =
            entry.contains(u'=') ? QVariant(entry.section(u'=', 1)) : QVariant();
    return map;
}

// Every value away from its default, as the store holds it.
const QString Unusual =
    QStringLiteral("Port1=3|Alg1=1|Port2=5|Alg2=1|Kont1=1|Kont2=2|Timer=45|PktSek=50|Left=-20|"
                   "Top=30|Width=1024|Height=700|Sound=0|Acc=1|Sound0=/tmp/a, b.wav|"
                   "Sound1=/tmp/c.wav|ELZ=77|C0=197121|C1=394500|C2=591879|C3=789258|"
                   "C4=4278190095|SekPachka=200|Monitor=1|Eli=1|FiltInd=4|Zeile1=Großer Preis|"
                   "Zeile2=Springprüfung Kl. M*|Sum=1|SumF=1|AutoFrei=0|CharSet=4|Lang=English|"
                   "FilterInd=4|FilterIndO=2|BorderTV2=12");

// The record as the store writes it, key by key.
QVariantMap written(const TSettings &s)
{
    QTemporaryDir dir;
    QSettings out(dir.filePath(QStringLiteral("out.conf")), QSettings::IniFormat);
    SaveSettings(out, s);
    QVariantMap map;
    for (const QString &key : out.allKeys())
        map[key] = out.value(key).toString();
    return map;
}

// What the program reads from a store of Unusual with these changes.
QVariantMap loaded(const QString &changes)
{
    TempSettingsStore temp;
    {
        const auto store = temp.open();
        for (const QVariantMap &values : {entries(Unusual), entries(changes)})
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                it->isValid() ? store->setValue(it.key(), *it) : store->remove(it.key());
    }
    TSettings s;
    s.Sound0 = QStringLiteral("cue.wav"); // the default file set before loading
    LoadSettings(*temp.open(), s);
    return written(s);
}

} // namespace

class tst_SettingsStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyValueComesBack()
    {
        const QVariantMap defaults = written(TSettings{}), values = entries(Unusual);
        QCOMPARE(defaults.keys(), values.keys());
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            QVERIFY2(defaults[it.key()] != *it, qPrintable(it.key())); // else it proves nothing
        QCOMPARE(loaded({}), values);
    }

    void load_data()
    {
        // Reading Unusual with these changes yields the expected values.
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("reading ends at the missing Acc")
            << "Acc|Sound0|Sound1|ELZ|C0|C1|C2|C3|C4|SekPachka|Monitor|Eli|FiltInd|Zeile1=kept out|"
               "Zeile2|Sum|SumF|AutoFrei|CharSet|Lang|FilterInd|FilterIndO|BorderTV2"
            << "Port1=3|Sound=0|Acc=2|Sound0=cue.wav|Zeile1=Klassisches|Lang=|BorderTV2=0|FiltInd="
               "3";
        QTest::newRow("a missing text reads empty") << "Sound0"
                                                    << "Sound0=|Sound1=/tmp/c.wav|BorderTV2=12";
        QTest::newRow("FilterInd overrides FiltInd") << "FiltInd=2|FilterInd=5"
                                                     << "FiltInd=5|FilterInd=5";
        QTest::newRow("FiltInd alone when reading ends before FilterInd")
            << "FiltInd=2|CharSet|FilterInd=5"
            << "FiltInd=2|FilterInd=2|CharSet=0";
        QTest::newRow("numbers out of range are brought into it")
            << "Port1=300|Port2=-1|Kont1=9|Acc=7|ELZ=1500|SekPachka=0|Width=100|Monitor=-2|"
               "CharSet=99|BorderTV2=500|Timer=123456"
            << "Port1=16|Port2=0|Kont1=2|Acc=2|ELZ=999|SekPachka=10|Width=800|Monitor=0|"
               "CharSet=15|BorderTV2=100|Timer=9999|Alg1=1";
        QTest::newRow("a text where a number belongs ends the reading")
            << "Timer=sechzig"
            << "Kont2=2|Timer=60|ELZ=120|Zeile1=Klassisches";
        QTest::newRow("a number beyond 32 bits ends the reading") << "ELZ=99999999999"
                                                                  << "Acc=1|ELZ=120|C0=0";
        QTest::newRow("colours keep all 32 bits") << "C0=4278190095"
                                                  << "C0=4278190095";
    }

    void load()
    {
        QFETCH(QString, changes);
        QFETCH(QString, expected);
        const QVariantMap got = loaded(changes), want = entries(expected);
        for (auto it = want.cbegin(); it != want.cend(); ++it)
            QCOMPARE(got.value(it.key()).toString() + " " + it.key(),
                     it->toString() + " " + it.key());
    }
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
