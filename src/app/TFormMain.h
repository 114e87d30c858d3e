#pragma once

#include "RunHooks.h"
#include "TFormMainUi.h"

#include <QMainWindow>
#include <memory>

class ClockDisplay;
class InfoHelp;
class RunControl;
class TFormInfo;

// The main window. It owns every control (ui), and the subsystems that act on them.
class TFormMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFormMain(QWidget *parent = nullptr);
    ~TFormMain() override;

    TFormMainUi ui;

    ClockDisplay &clock() { return *m_clock; }
    RunControl &run() { return *m_run; }
    InfoHelp &infoHelp() { return *m_infoHelp; }
    TFormInfo &formInfo() { return *m_formInfo; }

    // Replaces the scoring and audience hooks (the window keeps no ownership).
    void setHooks(RunHooks *hooks);

    void FormResize();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startUp();
    void loadTitlePicture();

    RunHooks m_noHooks;
    struct HookRelay;
    std::unique_ptr<HookRelay> m_relay;
    std::unique_ptr<ClockDisplay> m_clock;
    std::unique_ptr<RunControl> m_run;
    std::unique_ptr<TFormInfo> m_formInfo;
    std::unique_ptr<InfoHelp> m_infoHelp;
};
