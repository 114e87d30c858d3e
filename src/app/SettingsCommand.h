#pragma once

#include "Settings.h"

#include <QObject>

class TCfgDialog;
class TFormMain;

// "Einstellungen": fills the settings dialog from the settings, shows it, and puts what the
// operator chose into force in the running program.
class SettingsCommand : public QObject
{
    Q_OBJECT
public:
    explicit SettingsCommand(TFormMain &window);

    void bCFGClick();
    // Puts chosen settings into force, in this order: the audience window, the colours, the
    // clock and countdown, the accuracy, then the photocell ports are closed and opened again.
    // A port that will not open is reported; it keeps its number for the next start.
    void ApplySettings(const TSettings &chosen);

    TCfgDialog &dialog() { return *m_dialog; }

private:
    TFormMain &m_window;
    TCfgDialog *m_dialog = nullptr; // a child of the window
    bool m_resetDone = false;
    bool m_languageChanged = false; // while the dialog is open
};
