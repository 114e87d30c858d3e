#include "TempSettingsStore.h"

#include <QtTest>

namespace {

// Every value away from its default, as the store holds it.
QVariantMap unusual()
{
    QVariantMap map;
    for (const QString &entry :
         QStringLiteral(
             "Port1=3|Alg1=1|Port2=5|Alg2=1|Kont1=1|Kont2=2|Timer=45|PktSek=50|Left=-20|"
             "Top=30|Width=1024|Height=700|Sound=0|Acc=1|Sound0=/tmp/a, b.wav|"
             "Sound1=/tmp/c.wav|ELZ=77|C0=197121|C1=394500|C2=591879|C3=789258|"
             "C4=4278190095|SekPachka=200|Monitor=1|Eli=1|FiltInd=4|Zeile1=Großer Preis|"
             "Zeile2=Springprüfung Kl. M*|Sum=1|SumF=1|AutoFrei=0|CharSet=4|Lang=English|"
             "FilterInd=4|FilterIndO=2|BorderTV2=12")
             .split(u'|'))
        map[entry.section(u'=', 0, 0)] = entry.section(u'=', 1);
    return map;
}

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

// What the program reads from a store of unusual() with these changes; an invalid value removes
// the key.
QVariantMap loaded(const QVariantMap &changes)
{
    TempSettingsStore temp;
    {
        const auto store = temp.open();
        for (const QVariantMap &values : {unusual(), changes})
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
        const QVariantMap defaults = written(TSettings{});
        const QVariantMap values = unusual();
        QCOMPARE(defaults.keys(), values.keys());
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            QVERIFY2(defaults[it.key()] != *it, qPrintable(it.key())); // else it proves nothing
        QCOMPARE(loaded({}), values);
    }

    void load_data()
    {
        // Reading unusual() with these changes yields the expected values.
        QTest::addColumn<QVariantMap>("changes");
        QTest::addColumn<QVariantMap>("expected");
        const QVariant none;

        QVariantMap noAcc;
        for (const char *key :
             {"Acc",  "Sound0",    "Sound1",  "ELZ",  "C0",        "C1",         "C2",       "C3",
              "C4",   "SekPachka", "Monitor", "Eli",  "FiltInd",   "Zeile1",     "Zeile2",   "Sum",
              "SumF", "AutoFrei",  "CharSet", "Lang", "FilterInd", "FilterIndO", "BorderTV2"})
            noAcc[QLatin1String(key)] = none;
        noAcc[QStringLiteral("Zeile1")] = QStringLiteral("kept out");
        QTest::newRow("reading ends at the missing Acc") << noAcc
                                                         << QVariantMap{{"Port1", "3"},
                                                                        {"Sound", "0"},
                                                                        {"Acc", "2"},
                                                                        {"Sound0", "cue.wav"},
                                                                        {"Zeile1", "Klassisches"},
                                                                        {"Lang", ""},
                                                                        {"BorderTV2", "0"},
                                                                        {"FiltInd", "3"}};
        QTest::newRow("a missing text reads empty")
            << QVariantMap{{"Sound0", none}}
            << QVariantMap{{"Sound0", ""}, {"Sound1", "/tmp/c.wav"}, {"BorderTV2", "12"}};
        QTest::newRow("FilterInd overrides FiltInd")
            << QVariantMap{{"FiltInd", 2}, {"FilterInd", 5}}
            << QVariantMap{{"FiltInd", "5"}, {"FilterInd", "5"}};
        QTest::newRow("FiltInd alone when reading ends before FilterInd")
            << QVariantMap{{"FiltInd", 2}, {"CharSet", none}, {"FilterInd", 5}}
            << QVariantMap{{"FiltInd", "2"}, {"FilterInd", "2"}, {"CharSet", "0"}};
        QTest::newRow("numbers out of range are brought into it")
            << QVariantMap{{"Port1", 300},  {"Port2", -1},      {"Kont1", 9},     {"Acc", 7},
                           {"ELZ", 1500},   {"SekPachka", 0},   {"Width", 100},   {"Monitor", -2},
                           {"CharSet", 99}, {"BorderTV2", 500}, {"Timer", 123456}}
            << QVariantMap{{"Port1", "16"},      {"Port2", "0"},    {"Kont1", "2"},
                           {"Acc", "2"},         {"ELZ", "999"},    {"SekPachka", "10"},
                           {"Width", "800"},     {"Monitor", "0"},  {"CharSet", "15"},
                           {"BorderTV2", "100"}, {"Timer", "9999"}, {"Alg1", "1"}};
        QTest::newRow("a text where a number belongs ends the reading")
            << QVariantMap{{"Timer", "sechzig"}}
            << QVariantMap{
                   {"Kont2", "2"}, {"Timer", "60"}, {"ELZ", "120"}, {"Zeile1", "Klassisches"}};
        QTest::newRow("a number beyond 32 bits ends the reading")
            << QVariantMap{{"ELZ", "99999999999"}}
            << QVariantMap{{"Acc", "1"}, {"ELZ", "120"}, {"C0", "0"}};
        QTest::newRow("colours keep all 32 bits")
            << QVariantMap{{"C0", "4278190095"}} << QVariantMap{{"C0", "4278190095"}};
    }

    void load()
    {
        QFETCH(QVariantMap, changes);
        QFETCH(QVariantMap, expected);
        const QVariantMap got = loaded(changes);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(got.value(it.key()).toString() + " " + it.key(),
                     it->toString() + " " + it.key());
    }
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
