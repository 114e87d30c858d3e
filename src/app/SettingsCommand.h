#pragma once

#include "Settings.h"

#include <QObject>

#include <functional>

class ClockDisplay;
class LanguageSwitch;
class LiveState;
class Photocells;
class QWidget;
class RunControl;
class TCfgDialog;
class TFormMainUi;
class TFormMonitor2;

// "Einstellungen": fills the settings dialog from the settings, shows it, and puts what the
// operator chose into force in the running program.
class SettingsCommand : public QObject
{
    Q_OBJECT
public:
    // What the chosen settings are put into. resetToDefaults: deletes the stored settings once
    // the operator agreed, false when nothing was done.
    struct Parts
    {
        QWidget *window = nullptr;
        TFormMainUi *ui = nullptr;
        TCfgDialog *dialog = nullptr;
        LanguageSwitch *language = nullptr;
        ClockDisplay *clock = nullptr;
        RunControl *run = nullptr;
        Photocells *photocells = nullptr;
        TFormMonitor2 *monitor = nullptr;
        LiveState *live = nullptr;
        std::function<bool()> resetToDefaults;
        // The broker's password, kept apart from the settings: the one in force, and a changed
        // one to keep.
        std::function<QString()> brokerPassword;
        std::function<void(const QString &password)> setBrokerPassword;
    };
    explicit SettingsCommand(const Parts &parts, QObject *parent = nullptr);

    void bCFGClick();
    // Puts chosen settings into force, in this order: the audience window, the colours, the
    // clock and countdown, the accuracy, then the photocell ports are closed and opened again.
    // A port that will not open is reported; it keeps its number for the next start.
    void ApplySettings(const TSettings &chosen);

    TCfgDialog &dialog() { return *m_p.dialog; }

    // The competition's rules as the settings give them, into the live state.
    static void publishCompetition(LiveState &live);

signals:
    // The chosen settings are in force; parts that read them on their own follow.
    void applied();

private:
    Parts m_p;
    bool m_resetDone = false;
    bool m_languageChanged = false; // while the dialog is open
};
