#pragma once

#include "AudienceLayout.h"
#include "RunHooks.h"
#include "TFormMainUi.h"

#include <QMainWindow>
#include <memory>

class ClockDisplay;
class DeviceImpulses;
class ImpulseLog;
class InfoHelp;
class LanguageSwitch;
class LiveBroker;
class LiveResults;
class LiveState;
class Photocells;
class ProtocolFiles;
class ProtocolGrid;
class ResultsProtocol;
class RunControl;
class RunScoring;
class SessionKeeper;
class SettingsCommand;
class StarterList;
class TFormInfo;
class TFormMonitor2;
class TimingDevices;

// The main window. It owns every control (ui), and the subsystems that act on them.
class TFormMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFormMain(QWidget *parent = nullptr);
    ~TFormMain() override;

    TFormMainUi ui;

    // The competition as every window, file and feed reads it.
    LiveState &live() { return *m_live; }
    ClockDisplay &clock() { return *m_clock; }
    RunControl &run() { return *m_run; }
    Photocells &photocells() { return *m_photocells; }
    DeviceImpulses &deviceImpulses() { return *m_deviceImpulses; }
    RunScoring &scoring() { return *m_scoring; }
    ProtocolGrid &protocolGrid() { return *m_protocolGrid; }
    StarterList &starters() { return *m_starters; }
    ProtocolFiles &files() { return *m_files; }
    ResultsProtocol &protocol() { return *m_protocol; }
    InfoHelp &infoHelp() { return *m_infoHelp; }
    TFormInfo &formInfo() { return *m_formInfo; }
    TFormMonitor2 &monitor() { return *m_monitor; }
    SettingsCommand &settings() { return *m_settings; }
    LanguageSwitch &language() { return *m_language; }
    LiveResults &liveResults() { return *m_liveResults; }
    TimingDevices &timingDevices() { return *m_timingDevices; }
    LiveBroker &liveBroker() { return *m_liveBroker; }
    // Both only while a session folder is set.
    SessionKeeper *session() { return m_session.get(); }
    ImpulseLog *impulseLog() { return m_impulseLog.get(); }

    // Replaces the scoring and audience hooks (the window keeps no ownership); nullptr puts the
    // program's own back.
    void setHooks(RunHooks *hooks);

    void FormResize();

    // Deletes the stored settings and ends the program without saving, once the operator agreed.
    // False when nothing was done.
    bool ResetToDefaults();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void startUp();
    void loadTitlePicture();
    void restoreBounds();
    void saveSettings();
    void createAudienceWindow();
    // Once: logs a run still on course as interrupted and keeps it with its rider, then writes
    // the session. closed: the operator ended it.
    void endSession(bool closed);
    MainClockGeometry mainClockGeometry() const;

    struct ProgramHooks;
    struct HookRelay;
    std::unique_ptr<ProgramHooks> m_programHooks;
    std::unique_ptr<HookRelay> m_relay;
    std::unique_ptr<LiveState> m_live; // before every subsystem that writes or reads it
    std::unique_ptr<ClockDisplay> m_clock;
    std::unique_ptr<RunControl> m_run;
    std::unique_ptr<Photocells> m_photocells;
    std::unique_ptr<DeviceImpulses> m_deviceImpulses; // the timing device's lines on the run
    std::unique_ptr<RunScoring> m_scoring;
    std::unique_ptr<ProtocolGrid> m_protocolGrid;
    std::unique_ptr<StarterList> m_starters;
    std::unique_ptr<ResultsProtocol> m_protocol;
    std::unique_ptr<ProtocolFiles> m_files;
    std::unique_ptr<TFormInfo> m_formInfo;
    std::unique_ptr<InfoHelp> m_infoHelp;
    std::unique_ptr<SessionKeeper> m_session;
    std::unique_ptr<ImpulseLog> m_impulseLog; // writes through m_session
    TFormMonitor2 *m_monitor = nullptr;       // a window of its own, owned as a child
    SettingsCommand *m_settings = nullptr;    // a child, with its dialog
    LanguageSwitch *m_language = nullptr;     // a child
    // Last, so the server is gone before the state it reads.
    std::unique_ptr<LiveResults> m_liveResults;
    std::unique_ptr<TimingDevices> m_timingDevices; // the boards read the state too
    std::unique_ptr<LiveBroker> m_liveBroker;       // feeds m_liveResults' server
    bool m_saveSuppressed = false;
    bool m_sessionEnded = false;
};
