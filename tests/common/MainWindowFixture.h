#pragma once

#include "FakeSerialPorts.h"
#include "FakeTickSource.h"
#include "LiveState.h"
#include "MessageBoxes.h"
#include "RunState.h"
#include "SoundPlayer.h"
#include "TFormMain.h"
#include "TempSettingsStore.h"
#include "TestFiles.h"

// The window's parts, for the tests to reach into.
#include "ClockDisplay.h"
#include "ProtocolFiles.h"
#include "ResultsProtocol.h"
#include "StarterList.h"
#include "TBitBtnWithColor.h"
#include "TComPort.h"
#include "TDigit.h"
#include "TImage.h"
#include "TLbSpeedButton.h"
#include "TOvalButton.h"
#include "TSortGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>
#include <memory>

class RecordingHooks : public RunHooks
{
public:
    void UpdateRunTotal() override { ++runTotals; }
    void UpdateTimeFaults(qint32 ms) override { timeFaults.append(ms); }

    int runTotals = 0;
    QList<qint32> timeFaults;
};

class RecordingSound : public SoundPlayer
{
public:
    RecordingSound() { setSoundPlayer(this); }
    ~RecordingSound() override { setSoundPlayer(nullptr); }
    void play(const QString &path) override { played.append(path); }
    QStringList played;
};

// Answers the yes/no questions from a queue (no when it runs dry) and keeps every message.
class RecordingBoxes : public MessageBoxes
{
public:
    RecordingBoxes() { setMessageBoxes(this); }
    ~RecordingBoxes() override { setMessageBoxes(nullptr); }
    void warning(QWidget *, const QString &title, const QString &text) override
    {
        messages << title + QLatin1Char('|') + text;
    }
    void error(QWidget *, const QString &text) override { messages << text; }
    void notice(QWidget *, const QString &text) override { notices << text; }
    bool yesNo(QWidget *, const QString &question) override
    {
        questions << question;
        return !answers.isEmpty() && answers.takeFirst();
    }
    QStringList messages;
    QStringList notices;
    QStringList questions;
    QList<bool> answers;
};

// A main window on a fake clock, revealed so the run commands are available; recordHooks
// replaces the scoring by recording hooks, for tests of the run control alone.
class MainWindowFixture
{
public:
    explicit MainWindowFixture(bool recordHooks = true)
    {
        if (recordHooks)
            window->setHooks(&hooks);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->clock().startReveal();
        while (window->clock().revealing())
            window->clock().revealStep();
    }
    ~MainWindowFixture()
    {
        if (window)
            window->setHooks(nullptr);
    }

    // One 10 ms refresh after the fake clock moved on by ms.
    void tick(quint32 ms)
    {
        ticks.advance(ms);
        window->clock().ClockTimer();
    }

    // START, ms on the clock, STOP.
    void run(quint32 ms)
    {
        key(Qt::Key_F5);
        tick(ms);
        key(Qt::Key_F9);
    }
    // The same, then EINTRAGEN.
    void enter(quint32 ms)
    {
        run(ms);
        key(Qt::Key_V, Qt::ControlModifier);
    }

    // Sets the port's lines and waits, the fake clock standing, until the port's wait thread has
    // read the edge's tick.
    bool stampEdge(FakeSerialDevice &device, quint32 lines)
    {
        const int reads = ticks.readsOffGuiThread();
        device.setLines(lines);
        for (QDeadlineTimer guard(5000); ticks.readsOffGuiThread() == reads;)
            if (guard.hasExpired())
                return false;
        return true;
    }

    void key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(window.get(), Qt::Key(key), mods);
    }
    static void click(QWidget *w, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(w, button, Qt::NoModifier, w->rect().center());
        QTest::mouseRelease(w, button, Qt::NoModifier, w->rect().center());
    }

    // The clock's five digits as they read, e.g. "012,38".
    QString shown() const
    {
        return QString::asprintf("%d%d%d,%d%d", ui.Digit4->value(), ui.Digit5->value(),
                                 ui.Digit6->value(), ui.Digit7->value(), ui.Digit8->value());
    }
    qint32 elapsed() const { return ticksBetween(Run.RunStartTick, Run.RunStopTick); }
    QString info() const { return window->live().snapshot()->info; }
    QString cell(int col, int row) const { return ui.SortGrid1->cells(col, row); }

    TempSettingsStore settingsStore;
    FakeSerialPorts ports; // COM1 and COM2
    RecordingBoxes boxes;
    FakeTickSource ticks;
    RecordingHooks hooks;
    RecordingSound sound;
    QTemporaryDir dir; // a folder of the test's own
    std::unique_ptr<TFormMain> window = newWindow();
    TFormMainUi &ui = window->ui;

private:
    static std::unique_ptr<TFormMain> newWindow()
    {
        Run = TRunState{};
        return std::make_unique<TFormMain>();
    }
};
