#pragma once

#include "ClockDisplay.h"
#include "FakeTickSource.h"
#include "RunHooks.h"
#include "RunState.h"
#include "Settings.h"
#include "SoundPlayer.h"
#include "TFormMain.h"

#include <QStringList>
#include <QtTest>
#include <memory>

class RecordingHooks : public RunHooks
{
public:
    void UpdateRunTotal() override { ++runTotals; }
    void UpdateTimeFaults(qint32 ms) override { timeFaults.append(ms); }
    void RefreshAudienceTexts() override { ++audienceRefreshes; }

    int runTotals = 0;
    QList<qint32> timeFaults;
    int audienceRefreshes = 0;
};

class RecordingSound : public SoundPlayer
{
public:
    RecordingSound() { setSoundPlayer(this); }
    ~RecordingSound() override { setSoundPlayer(nullptr); }
    void play(const QString &path) override { played.append(path); }
    QStringList played;
};

// A main window on a fake clock, with the start-up reveal run to its end so the run commands
// are available. Settings are back at their defaults unless the test changed them first.
class MainWindowFixture
{
public:
    explicit MainWindowFixture(bool reveal = true)
    {
        Run = TRunState{};
        InfoText.clear();
        window = std::make_unique<TFormMain>();
        window->setHooks(&hooks);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        if (reveal)
            finishReveal();
    }
    ~MainWindowFixture() { window->setHooks(nullptr); }

    void finishReveal()
    {
        window->clock().startReveal();
        while (window->clock().revealing())
            window->clock().revealStep();
    }

    // One 10 ms refresh after the fake clock moved on by ms.
    void tick(quint32 ms)
    {
        ticks.advance(ms);
        window->clock().ClockTimer();
    }

    void key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(window.get(), Qt::Key(key), mods);
    }

    TFormMainUi &ui() { return window->ui; }
    qint32 elapsed() const { return ticksBetween(Run.RunStartTick, Run.RunStopTick); }

    FakeTickSource ticks;
    RecordingHooks hooks;
    RecordingSound sound;
    std::unique_ptr<TFormMain> window;
};
