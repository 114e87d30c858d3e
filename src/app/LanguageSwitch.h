#pragma once

#include "DialogLanguage.h"

#include <QObject>

class TFormMain;

// Puts the texts of a language file into every window: the main window, the settings dialog,
// the information window; the yes/no questions and the other texts read their line when used.
class LanguageSwitch : public QObject
{
    Q_OBJECT
public:
    explicit LanguageSwitch(TFormMain &window);

    // Reads NAME.lng over the lines in force and applies them. A name without a file (empty,
    // "DEFAULT") changes nothing; false then. Qt's dialogs follow: German with German, the
    // system's language with any other.
    bool LoadLanguage(const QString &name);
    // Assigns the lines in force, in the character set of the settings.
    void ApplyLanguage();

private:
    TFormMain &m_window;
    DialogLanguage m_dialogs;
};
