#include "TempSettingsStore.h"

#include <QtTest>

namespace {

// Every value away from its default.
TSettings unusual()
{
    TSettings s;
    s.Port1 = 3;
    s.Alg1 = 1;
    s.Port2 = 5;
    s.Alg2 = 1;
    s.Kont1 = 1;
    s.Kont2 = 2;
    s.Timer = 45;
    s.PktSek = 50;
    s.Left = -20;
    s.Top = 30;
    s.Width = 1024;
    s.Height = 700;
    s.Sound = false;
    s.Acc = 1;
    s.Sound0 = QStringLiteral("/tmp/a, b.wav");
    s.Sound1 = QStringLiteral("/tmp/c.wav");
    s.ELZ = 77;
    s.C0 = rgbColor(1, 2, 3);
    s.C1 = rgbColor(4, 5, 6);
    s.C2 = rgbColor(7, 8, 9);
    s.C3 = rgbColor(10, 11, 12);
    s.C4 = Colors::clBtnFace;
    s.SekPachka = 200;
    s.Monitor = 1;
    s.Eli = true;
    s.FiltInd = 4;
    s.Zeile1 = QStringLiteral("Großer Preis");
    s.Zeile2 = QStringLiteral("Springprüfung Kl. M*");
    s.Sum = true;
    s.SumF = true;
    s.AutoFrei = false;
    s.CharSet = 4;
    s.Lang = QStringLiteral("English");
    s.FilterInd = 4;
    s.FilterIndO = 2;
    s.BorderTV2 = 12;
    return s;
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

} // namespace

class tst_SettingsStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void load_data()
    {
        // The store holds every value of unusual() with these changes (an invalid value removes
        // the key), and reading yields the expected values.
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
        TempSettingsStore temp;
        {
            const auto store = temp.open();
            SaveSettings(*store, unusual());
            for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
                if (it->isValid())
                    store->setValue(it.key(), *it);
                else
                    store->remove(it.key());
            }
        }
        TSettings loaded;
        loaded.Sound0 = QStringLiteral("cue.wav"); // the default file set before loading
        LoadSettings(*temp.open(), loaded);
        const QVariantMap got = written(loaded);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(got.value(it.key()).toString() + " " + it.key(),
                     it->toString() + " " + it.key());
    }

    void everyValueComesBack()
    {
        TempSettingsStore temp;
        SaveSettings(*temp.open(), unusual());
        TSettings loaded;
        LoadSettings(*temp.open(), loaded);
        const QVariantMap saved = written(unusual());
        QCOMPARE(saved.size(), 36);
        QCOMPARE(written(loaded), saved);
    }

    void resetLeavesNothing()
    {
        TempSettingsStore temp;
        SaveSettings(*temp.open(), unusual());
        QVERIFY(ResetSettingsStore(*temp.open()));
        QVERIFY(temp.open()->allKeys().isEmpty());
        TSettings loaded;
        LoadSettings(*temp.open(), loaded);
        QCOMPARE(written(loaded), written(TSettings{}));
    }
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
