#include "SettingsCommand.h"

#include "ClockDisplay.h"
#include "LanguageSwitch.h"
#include "LanguageTable.h"
#include "LiveState.h"
#include "MessageBoxes.h"
#include "Photocells.h"
#include "PortChoices.h"
#include "RunControl.h"
#include "RunState.h"
#include "SerialPorts.h"
#include "TBitBtnWithColor.h"
#include "TCfgDialog.h"
#include "TFormMainUi.h"
#include "TFormMonitor2.h"
#include "TImage.h"
#include "TLbSpeedButton.h"

#include <QAction>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>

SettingsCommand::SettingsCommand(const Parts &parts, QObject *parent) : QObject(parent), m_p(parts)
{
    TCfgDialog *dialog = m_p.dialog;
    dialog->OnAccuracyPreview = [this](int decimals) { m_p.clock->ApplyAccuracy(decimals); };
    dialog->OnMonitorChange = [this](int monitor) {
        Settings.Monitor = monitor;
        // The audience sees the change now, not at the next showing.
        if (m_p.monitor->isVisible())
            m_p.monitor->ApplyAudienceSettings();
    };
    dialog->OnDefaults = [this] { return m_resetDone = m_p.resetToDefaults(); };
    dialog->OnLanguageChange = [this](const QString &language, int charSet) {
        const int formerCharSet = Settings.CharSet;
        Settings.CharSet = charSet;
        m_languageChanged = true;
        // The new file's titles fill the title edits.
        if (m_p.language->LoadLanguage(language, true) == LanguageSwitch::Load::Refused) {
            Settings.CharSet = formerCharSet;
            return false;
        }
        Settings.Lang = language;
        return true;
    };
    dialog->OnCharsetChange = [this](int charSet) {
        Settings.CharSet = charSet;
        m_languageChanged = true;
        // Before any file, the lines are the built-in texts: nothing to decode anew.
        if (LanguageFileRead())
            m_p.language->ApplyLanguage();
    };
    TFormMainUi &ui = *m_p.ui;
    connect(ui.bCFG, &QToolButton::clicked, this, &SettingsCommand::bCFGClick);
    for (QAction *a : {ui.Cfg1, ui.EinstellunGen1})
        connect(a, &QAction::triggered, this, &SettingsCommand::bCFGClick);
}

void SettingsCommand::bCFGClick()
{
    // Adapters plugged in since the start are offered too, and so are the ports held open here.
    Photocells &cells = *m_p.photocells;
    ComPortMask = ProbeComPorts([&cells](int port) { return cells.holds(port); });
    // A port the user may not open is listed too, with what grants access.
    m_p.dialog->setPortList(ComPortMask, DeniedComPorts());
    // So is a language file added meanwhile.
    m_p.dialog->fillLanguages();
    m_p.dialog->setValues(Settings);
    const QString password = m_p.brokerPassword ? m_p.brokerPassword() : QString();
    m_p.dialog->setBrokerPassword(password);
    m_resetDone = false;
    // The language box acts at once, also while the arrow keys merely pass over a language.
    const LanguageSwitch::State language = m_p.language->state();
    m_languageChanged = false;
    const int result = m_p.dialog->exec();
    if (m_resetDone)
        return;
    if (result == QDialog::Accepted) {
        // Before the settings go into force, so the broker connects with it.
        if (m_p.setBrokerPassword && m_p.dialog->brokerPassword() != password)
            m_p.setBrokerPassword(m_p.dialog->brokerPassword());
        ApplySettings(m_p.dialog->values(Settings));
    } else if (m_languageChanged)
        m_p.language->restore(language);
    // Undoes a preview that was cancelled.
    m_p.clock->ApplyAccuracy(Settings.Acc);
    // The audience window may have been laid out meanwhile (another monitor) from the main
    // clock as the preview had narrowed it: its digit panel follows the restored clock.
    if (m_p.monitor->isVisible())
        m_p.monitor->ApplyAudienceSettings();
    m_p.ui->PanelLeft->setFocus();
}

void SettingsCommand::ApplySettings(const TSettings &chosen)
{
    TFormMainUi &ui = *m_p.ui;
    ClockDisplay &clock = *m_p.clock;
    Settings.BorderTV2 = qBound(0, chosen.BorderTV2, 100);
    Settings.CharSet = chosen.CharSet;
    Settings.Lang = chosen.Lang;
    Settings.AutoFrei = chosen.AutoFrei;
    m_p.monitor->ApplyAudienceSettings();

    Settings.C0 = chosen.C0;
    Settings.C1 = chosen.C1;
    Settings.C2 = chosen.C2;
    Settings.C3 = chosen.C3;
    Settings.C4 = chosen.C4;
    const TColor colors[5] = {Settings.C0, Settings.C1, Settings.C2, Settings.C3, Settings.C4};
    clock.setDisplayColors(colors);
    Settings.PktSek = qBound(0, chosen.PktSek, 99900);
    // A zero interval would divide the time faults by zero.
    Settings.SekPachka = qBound(10, chosen.SekPachka, 99900);
    Run.ColorState = ColorReady;
    clock.ApplyColorState();

    Settings.Timer = qBound(0, chosen.Timer, 9999);
    m_p.run->ShowCountdownControls();
    ui.seELZmain->setValue(chosen.ELZ);
    Settings.ELZ = ui.seELZmain->value();
    if (!ui.Clock->isActive()) {
        Run.CountdownActive = Settings.Timer > 0;
        clock.UpdateClockDisplay(0);
    }
    Settings.Acc = qBound(0, chosen.Acc, 2);
    publishCompetition(*m_p.live);

    Photocells &cells = *m_p.photocells;
    cells.CloseAll();
    Settings.Port1 = chosen.Port1;
    Settings.Kont1 = chosen.Kont1;
    Settings.Alg1 = chosen.Alg1;
    Settings.Port2 = chosen.Port2;
    Settings.Kont2 = chosen.Kont2;
    Settings.Alg2 = chosen.Alg2;
    const QList<Photocells::PortFailure> failures = cells.OpenConfiguredPorts();
    Settings.Sound0 = chosen.Sound0;
    Settings.Sound1 = chosen.Sound1;
    Settings.LiveWeb = chosen.LiveWeb;
    Settings.LivePort = qBound(1, chosen.LivePort, 65535);
    Settings.LiveHost = chosen.LiveHost;
    Settings.DevPort = chosen.DevPort;
    Settings.DevType = chosen.DevType;
    Settings.DevBaud = chosen.DevBaud;
    Settings.Board1Port = chosen.Board1Port;
    Settings.Board1Shows = chosen.Board1Shows;
    Settings.Board2Port = chosen.Board2Port;
    Settings.Board2Shows = chosen.Board2Shows;
    Settings.BoardCountdown = chosen.BoardCountdown;
    Settings.BrokerOn = chosen.BrokerOn;
    Settings.BrokerHost = chosen.BrokerHost;
    Settings.BrokerPort = qBound(1, chosen.BrokerPort, 65535);
    Settings.BrokerTls = chosen.BrokerTls;
    Settings.BrokerCa = chosen.BrokerCa;
    Settings.BrokerUser = chosen.BrokerUser;
    Settings.Show = chosen.Show;
    Settings.Arena = chosen.Arena;
    Settings.ShowAll = chosen.ShowAll;
    emit applied();
    ui.ImageLSstart->move(ui.bSTART->x() - ui.ImageLSstart->width() - 2, ui.ImageLSstart->y());
    ui.ImageLSstop->move(ui.ImageLSstart->x(), ui.ImageLSstop->y());

    // The operator just chose these ports: a dead photocell must not look alive.
    if (failures.isEmpty())
        return;
    QStringList texts;
    for (const Photocells::PortFailure &f : failures)
        texts << portFailureText(f.port, serialDevicePath(f.port), f.reason,
                                 isAccessDenied(f.reason));
    messageBoxes().warning(m_p.window, QStringLiteral("Einstellungen"),
                           texts.join(QStringLiteral("\n\n")));
}

void SettingsCommand::publishCompetition(LiveState &live)
{
    LiveSnapshot::Competition competition = live.current().competition;
    competition.allowedSeconds = Settings.ELZ;
    competition.timeFaultInterval = Settings.SekPachka;
    competition.timeFaultPoints = Settings.PktSek;
    competition.decimals = Settings.Acc;
    live.setCompetition(competition);
}
