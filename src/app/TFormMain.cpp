#include "TFormMain.h"

#include "Artwork.h"
#include "ClockDisplay.h"
#include "DataFiles.h"
#include "DeviceImpulses.h"
#include "DisplayColors.h"
#include "EnabledLink.h"
#include "ImpulseLog.h"
#include "InfoHelp.h"
#include "LanguageSwitch.h"
#include "LanguageTable.h"
#include "LiveBroker.h"
#include "LiveResults.h"
#include "LiveState.h"
#include "LocaleNumbers.h"
#include "MessageBoxes.h"
#include "Photocells.h"
#include "ProtocolFiles.h"
#include "ProtocolGrid.h"
#include "ProtocolTexts.h"
#include "ResultsProtocol.h"
#include "RunControl.h"
#include "RunScoring.h"
#include "RunState.h"
#include "ScreenBound.h"
#include "Screens.h"
#include "SerialPorts.h"
#include "SessionKeeper.h"
#include "Settings.h"
#include "SettingsCommand.h"
#include "SettingsStore.h"
#include "ShortcutPrecedence.h"
#include "StarterList.h"
#include "TBitBtnWithColor.h"
#include "TCfgDialog.h"
#include "TDigit.h"
#include "TFDlgYesNo.h"
#include "TFormInfo.h"
#include "TFormMonitor2.h"
#include "TImage.h"
#include "TLbSpeedButton.h"
#include "TOvalButton.h"
#include "TSortGrid.h"
#include "TerminationSignals.h"
#include "TimingDevice.h"
#include "TimingDevices.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>

// Forwards to whichever hooks are installed, so the subsystems can keep one reference.
struct TFormMain::HookRelay : RunHooks
{
    RunHooks *target = nullptr;
    void UpdateRunTotal() override { target->UpdateRunTotal(); }
    void UpdateTimeFaults(qint32 ms) override { target->UpdateTimeFaults(ms); }
    void RunCommandGiven(RunCommand command, qint32 ms, const QString &detail) override
    {
        target->RunCommandGiven(command, ms, detail);
    }
    void PhotocellImpulseSeen(const PhotocellImpulse &impulse) override
    {
        target->PhotocellImpulseSeen(impulse);
    }
    void DeviceLineSeen(const DeviceLine &line, const QString &source,
                        PhotocellImpulse::Effect effect, qint32 ms) override
    {
        target->DeviceLineSeen(line, source, effect, ms);
    }
};

// The program's own: the scoring of the run, the kept session and the impulse log.
struct TFormMain::ProgramHooks : RunHooks
{
    RunScoring *scoring = nullptr;
    TFormMain *window = nullptr;
    void UpdateRunTotal() override { scoring->UpdateRunTotal(); }
    void UpdateTimeFaults(qint32 ms) override { scoring->UpdateTimeFaults(ms); }
    void RunCommandGiven(RunCommand command, qint32 ms, const QString &detail) override
    {
        // An entered run (an abort's too) goes to the disk now, not after the usual delay.
        if (command == RunCommand::Entry && window->m_session)
            window->m_session->keepNow();
        if (window->m_impulseLog)
            window->m_impulseLog->RunCommandGiven(command, ms, detail);
    }
    void PhotocellImpulseSeen(const PhotocellImpulse &impulse) override
    {
        if (window->m_impulseLog)
            window->m_impulseLog->PhotocellImpulseSeen(impulse);
    }
    void DeviceLineSeen(const DeviceLine &line, const QString &source,
                        PhotocellImpulse::Effect effect, qint32 ms) override
    {
        if (window->m_impulseLog)
            window->m_impulseLog->DeviceLineSeen(line, source, effect, ms);
    }
};

TFormMain::TFormMain(QWidget *parent)
    : QMainWindow(parent), m_programHooks(std::make_unique<ProgramHooks>()),
      m_relay(std::make_unique<HookRelay>()), m_live(std::make_unique<LiveState>())
{
    m_relay->target = m_programHooks.get();
    // No window grows off the screen, whatever a language file's texts.
    ScreenBound::install();
    TFDlgYesNo::setButtonTexts([] {
        return TFDlgYesNo::ButtonTexts{LanguageText(LanguageLine::Yes),
                                       LanguageText(LanguageLine::No)};
    });
    ui.setupUi(this);
    m_clock = std::make_unique<ClockDisplay>(ui, *m_relay);
    m_run = std::make_unique<RunControl>(ui, *m_clock, *m_live, *m_relay);
    m_photocells = std::make_unique<Photocells>(ui, *m_relay);
    m_deviceImpulses = std::make_unique<DeviceImpulses>(ui, *m_photocells, *m_relay);
    m_scoring = std::make_unique<RunScoring>(ui, *m_clock, *m_live, *m_relay);
    m_programHooks->scoring = m_scoring.get();
    m_programHooks->window = this;
    m_protocolGrid = std::make_unique<ProtocolGrid>(ui, *m_live);
    m_starters = std::make_unique<StarterList>(ui, *m_live, *m_protocolGrid);
    m_protocol = std::make_unique<ResultsProtocol>(ui, *m_live, *m_clock, *m_run, *m_scoring,
                                                   *m_protocolGrid, *m_starters, *m_relay);
    m_files =
        std::make_unique<ProtocolFiles>(ui, *m_live, *m_protocolGrid, *m_starters, *m_protocol);
    m_formInfo = std::make_unique<TFormInfo>(this);
    m_infoHelp = std::make_unique<InfoHelp>(ui, *m_formInfo);

    EnabledLink::link(ui.bTimer, ui.mTimer);
    EnabledLink::link(ui.bSTART, ui.mStart);
    EnabledLink::link(ui.bSTOP, ui.mStop);
    EnabledLink::link(ui.bHF, ui.HF1);
    EnabledLink::link(ui.bEINTRAGEN, ui.mEintragen);
    EnabledLink::link(ui.bAbbruch, ui.mAbbruch);
    EnabledLink::link(ui.bRESET, ui.mReset);
    EnabledLink::link(ui.bCFG, ui.Cfg1);
    EnabledLink::link(ui.bCFG, ui.EinstellunGen1);
    EnabledLink::link(ui.sbSave, ui.Save1);
    EnabledLink::link(ui.sbPrint, ui.Drucker1);
    // With one screen bMon2 is off, yet Ctrl+T still shows the audience window there.
    connect(ui.bMon2, &QToolButton::clicked, ui.Monitor11, &QAction::trigger);
    EnabledLink::link(ui.bStrafsek6, ui.N13);
    EnabledLink::link(ui.bStrafsek8, ui.N14);
    EnabledLink::link(ui.bStrafsek10, ui.N15);
    new ShortcutPrecedence(this, ui.hiddenCommands);
    for (QWidget *band : std::initializer_list<QWidget *>{ui.Panel1, ui.Panel7, ui.Panel5,
                                                          ui.SortGrid1->viewport()})
        band->installEventFilter(this);

    connect(ui.sbS1, &QToolButton::clicked, m_clock.get(), &ClockDisplay::sbS1Click);
    // The titles are the operator's input: typed, loaded or cleared, the state follows.
    for (QLineEdit *title : {ui.eFText1, ui.eFText2})
        connect(title, &QLineEdit::textChanged, m_live.get(),
                [this] { m_live->setTitles(ui.eFText1->text(), ui.eFText2->text()); });

    startUp();
}

TFormMain::~TFormMain()
{
    // Not closed by the operator (a logout, a kill): the session is kept and offered again.
    endSession(false);
    if (!m_saveSuppressed)
        saveSettings();
    // The boards read the live state, and the device's lines act on the run: both stop first.
    if (m_timingDevices)
        m_timingDevices->closeAll();
    // While the photocell controls still exist: closing a port hides them.
    m_photocells->CloseAll();
}

void TFormMain::setHooks(RunHooks *hooks)
{
    m_relay->target = hooks ? hooks : m_programHooks.get();
}

void TFormMain::startUp()
{
    QApplication::setApplicationName(QStringLiteral("Rittmeter"));
    setWindowTitle(LanguageText(LanguageLine::MainCaption) + QLatin1Char(' ') +
                   QStringLiteral(RITTMETER_VERSION));
    applyDefaultSoundFiles(Settings);
    ui.ePktSek->setText(LocaleNumbers::fixed2(0));
    loadTitlePicture();

    m_saveSuppressed = true;
    LoadSettings(*openSettingsStore(), Settings);
    m_live->setInfo(QString());
    ui.seELZmain->setValue(qMin(Settings.ELZ, 999));
    Settings.ELZ = ui.seELZmain->value();
    ui.eFText1->setText(Settings.Zeile1);
    ui.eFText2->setText(Settings.Zeile2);
    ui.cbEliminieren->setChecked(Settings.Eli);
    ui.rbModeC->setChecked(Settings.Sum);
    if (Settings.SumF)
        ui.rbModeCfahren->setChecked(true);
    m_saveSuppressed = false;

    const int screens = int(screenRects().size());
    if (Settings.Monitor > screens - 1)
        Settings.Monitor = 0;
    ui.bMon2->setEnabled(screens >= 2);

    m_run->ShowCountdownControls();
    m_clock->ApplyAccuracy(Settings.Acc);
    SettingsCommand::publishCompetition(*m_live);
    ComPortMask = ProbeComPorts();
    // The open dialog starts where the save dialog was left.
    Settings.FilterIndO = Settings.FiltInd;

    const TColor colors[5] = {Settings.C0, Settings.C1, Settings.C2, Settings.C3, Settings.C4};
    m_clock->setDisplayColors(colors);
    Run.ColorState = ColorReady;
    m_clock->ApplyColorState();
    Run.CountdownActive = Settings.Timer > 0;
    m_clock->UpdateClockDisplay(0);
    m_clock->TimerDateTimer();
    ui.Image1->show();

    for (int c = 0; c < ProtocolColumnCount; ++c)
        ui.SortGrid1->setCells(c, 0, ProtocolColumnHeading(c));
    m_protocol->UpdateProtocolButtons();
    for (QWidget *w : std::initializer_list<QWidget *>{ui.Digit8, ui.Digit7, ui.LabSec, ui.Digit6,
                                                       ui.Lab_sek, ui.Digit5, ui.Digit4})
        w->hide();
    m_run->SetCellArmed(ui.ImageLSstart, 0);
    m_run->SetCellArmed(ui.ImageLSstop, 0);
    restoreBounds();
    FormResize();
    // Not a title line: a key typed by accident there would be saved at exit.
    ui.Panel5->setFocus();
    ui.TimerDate->start();
    // A port missing at start stays closed without a word, as it may just not be plugged in.
    m_photocells->OpenConfiguredPorts();
    createAudienceWindow();
    auto *settingsDialog = new TCfgDialog(this);
    // Once every window exists. The audience window follows the titles in the state: the
    // language switch and the settings need not tell it.
    m_language =
        new LanguageSwitch({this, &ui, m_formInfo.get(), settingsDialog, m_starters.get()}, this);
    m_settings = new SettingsCommand(
        {this, &ui, settingsDialog, m_language, m_clock.get(), m_run.get(), m_photocells.get(),
         m_monitor, m_live.get(), [this] { return ResetToDefaults(); },
         [this] { return m_liveBroker->password(); },
         [this](const QString &password) { m_liveBroker->setPassword(password); }},
        this);
    m_liveResults = std::make_unique<LiveResults>(*m_live, *ui.StatusBar1, *m_formInfo);
    connect(m_language, &LanguageSwitch::languageApplied, m_liveResults.get(),
            &LiveResults::applyTexts);
    connect(m_settings, &SettingsCommand::applied, m_liveResults.get(), &LiveResults::apply);
    // The device and the boards after the photocell ports; their ports open on threads of their
    // own, so a device that is not plugged in is said in the status bar and nothing waits.
    m_timingDevices = std::make_unique<TimingDevices>(*m_live, *m_deviceImpulses, *ui.StatusBar1);
    connect(m_language, &LanguageSwitch::languageApplied, m_timingDevices.get(),
            &TimingDevices::applyTexts);
    connect(m_settings, &SettingsCommand::applied, m_timingDevices.get(), &TimingDevices::apply);
    // The device's impulses obey the arming: its images show while the device is connected, and
    // stay while it is gone for a moment, as it is tried again.
    TimingDevice &device = m_timingDevices->device();
    connect(&device, &TimingDevice::opened, m_photocells.get(),
            [this] { m_photocells->setDeviceOpen(true); });
    connect(&device, &TimingDevice::closed, m_photocells.get(),
            [this] { m_photocells->setDeviceOpen(false); });
    // The broker after the live server, whose "/show" it feeds.
    m_liveBroker = std::make_unique<LiveBroker>(*m_live, m_liveResults->web(), *ui.StatusBar1);
    connect(m_language, &LanguageSwitch::languageApplied, m_liveBroker.get(),
            &LiveBroker::applyTexts);
    connect(m_settings, &SettingsCommand::applied, m_liveBroker.get(), &LiveBroker::apply);
    m_language->LoadLanguage(Settings.Lang);
    // Never in the way of timing: a port in use is said in the status bar, nothing waits.
    m_liveResults->apply();
    m_timingDevices->apply();
    m_liveBroker->apply();

    if (!sessionFolder().isEmpty()) {
        m_session = std::make_unique<SessionKeeper>(
            *m_live, windowSessionControls(ui, *m_protocolGrid, *m_starters, *m_protocol),
            sessionFolder());
        m_impulseLog = std::make_unique<ImpulseLog>(*m_live, m_session->writer());
        m_session->restoreOrSetAside();
    }
}

void TFormMain::endSession(bool closed)
{
    if (!m_session || std::exchange(m_sessionEnded, true))
        return;
    const qint32 onCourse = m_run->runOnCourseMs();
    if (onCourse >= 0 && m_impulseLog) {
        const QString signal = TerminationSignals::signalName();
        m_impulseLog->RunInterrupted(onCourse, !signal.isEmpty() ? signal
                                               : closed          ? QStringLiteral("Beenden")
                                                                 : QStringLiteral("Programmende"));
    }
    m_session->finish(closed, onCourse);
}

void TFormMain::createAudienceWindow()
{
    m_monitor = new TFormMonitor2(*m_live, this);
    m_monitor->setPicture(makerLogo(64));
    m_clock->setAudience(m_monitor);
    m_monitor->create(ui.Monitor11, [this] { return mainClockGeometry(); });
    // Its fraction digits match the main clock from the first second.
    m_clock->ApplyAccuracy(Settings.Acc);
    Run.CountdownActive = Settings.Timer > 0;
    m_clock->UpdateClockDisplay(0);
    m_clock->TimerDateTimer();
}

MainClockGeometry TFormMain::mainClockGeometry() const
{
    MainClockGeometry g;
    g.panelTimer = ui.PanelTimer->size();
    const TDigit *digits[5] = {ui.Digit4, ui.Digit5, ui.Digit6, ui.Digit7, ui.Digit8};
    for (int i = 0; i < 5; ++i) {
        g.digits[i] = digits[i]->geometry();
        g.thickness[i] = digits[i]->thickness();
    }
    g.labSec = ui.LabSec->geometry();
    g.labSecPointSize = ui.LabSec->font().pointSize();
    return g;
}

void TFormMain::restoreBounds()
{
    // Stored bounds may come from a larger monitor, or be broken: the whole window, status bar
    // included, stays within the screen's free area. A window last shown on a monitor that is
    // gone opens where the desktop puts it.
    const QPoint topLeft(Settings.Left, Settings.Top);
    QScreen *screen = QGuiApplication::screenAt(topLeft);
    const QRect area = (screen ? screen : QGuiApplication::primaryScreen())->availableGeometry();
    const int width =
        std::clamp(Settings.Width, minimumWidth(), qMax(minimumWidth(), area.width()));
    const int height =
        std::clamp(Settings.Height, minimumHeight(), qMax(minimumHeight(), area.height()));
    if (!screen) {
        resize(width, height);
        return;
    }
    const int x =
        std::clamp(Settings.Left, area.left(), qMax(area.left(), area.right() + 1 - width));
    const int y =
        std::clamp(Settings.Top, area.top(), qMax(area.top(), area.bottom() + 1 - height));
    setGeometry(x, y, width, height);
}

void TFormMain::saveSettings()
{
    const QRect bounds = normalGeometry().isValid() ? normalGeometry() : geometry();
    Settings.Left = bounds.x();
    Settings.Top = bounds.y();
    Settings.Width = bounds.width();
    Settings.Height = bounds.height();
    Settings.Zeile1 = ui.eFText1->text();
    Settings.Zeile2 = ui.eFText2->text();
    Settings.Eli = ui.cbEliminieren->isChecked();
    Settings.Sum = ui.rbModeC->isChecked();
    Settings.SumF = ui.rbModeCfahren->isChecked();
    SaveSettings(*openSettingsStore(), Settings);
}

bool TFormMain::ResetToDefaults()
{
    if (!messageBoxes().yesNo(this, LanguageText(LanguageLine::DefaultsQuestion)))
        return false;
    if (!ResetSettingsStore(*openSettingsStore()))
        return false;
    m_saveSuppressed = true;
    QCoreApplication::exit(0);
    return true;
}

void TFormMain::loadTitlePicture()
{
    const QString name = programBaseName() + QStringLiteral(".jpg");
    // A picture in the working folder wins; otherwise the one shipped with the program.
    QString path = QFileInfo::exists(name) ? name : findDataFile(name);
    QPixmap picture;
    if (!path.isEmpty() && picture.load(path)) {
        ui.ImageTitle->setPixmap(
            picture.scaledToHeight(ui.ImageTitle->height(), Qt::SmoothTransformation));
        ui.ImageTitle->setToolTip(name);
        ui.ImageTitle->show();
    }
}

bool TFormMain::eventFilter(QObject *watched, QEvent *event)
{
    // The bands get their widths from the window's layout after the window's own resize.
    if (event->type() == QEvent::Resize)
        FormResize();
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    if (m_protocol->FormCloseQuery()) {
        // Ended in order: the next start does not offer this session back.
        endSession(true);
        event->accept();
    } else
        event->ignore();
}

void TFormMain::FormResize()
{
    m_protocolGrid->SetProtocolColumnWidths();
    ui.ImageTitle->resize(ui.Panel5->width() - ui.ImageTitle->x(), ui.ImageTitle->height());
    const int band = ui.Panel7->width();
    ui.bNoStart->move(band - ui.bNoStart->width() - 4, ui.bNoStart->y());
    ui.bAus->move(band - ui.bAus->width() - 4, ui.bAus->y());
    ui.ePferd->resize(band - ui.ePferd->x() - 8 - ui.bNoStart->width(), ui.ePferd->height());
    ui.Reiter->resize(band - ui.Reiter->x() - 8 - ui.bAus->width(), ui.Reiter->height());
    ui.eVerein->resize(ui.Panel5->width() - ui.eVerein->x() - 4, ui.eVerein->height());
    ui.PanelDate->move(ui.Panel1->width() - ui.PanelDate->width() - 4, ui.PanelDate->y());
}
