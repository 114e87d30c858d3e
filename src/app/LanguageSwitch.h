#pragma once

#include "DialogLanguage.h"
#include "LanguageTable.h"

#include <QObject>
#include <QStringList>

class QWidget;
class StarterList;
class TCfgDialog;
class TFormInfo;
class TFormMainUi;

// Puts the texts of a language file into every window: the main window, the settings dialog,
// the information window; the yes/no questions and the other texts read their line when used.
class LanguageSwitch : public QObject
{
    Q_OBJECT
public:
    // The windows whose texts it sets.
    struct Windows
    {
        QWidget *main = nullptr;
        TFormMainUi *ui = nullptr;
        TFormInfo *info = nullptr;
        TCfgDialog *settings = nullptr;
        StarterList *starters = nullptr;
    };
    explicit LanguageSwitch(const Windows &windows, QObject *parent = nullptr);

    enum class Load
    {
        Loaded,
        NoFile, // the name has no file ("DEFAULT"): the texts stay
        Refused // the file is no text or cannot be read: the operator is told, the texts stay
    };
    // Reads NAME.lng over the lines in force and applies them. Qt's dialogs follow: German with
    // German, the system's language with any other. newTitles empties the two title edits
    // first, so that the file's titles fill them, or they stay empty with no file; a refused
    // file leaves them as they are.
    Load LoadLanguage(const QString &name, bool newTitles = false);
    // Assigns the lines in force, in the character set of the settings.
    void ApplyLanguage();

    // What a language change in the settings dialog replaces, to put back on Abbrechen.
    struct State
    {
        QString lang;
        int charSet = 0;
        LanguageLinesState lines;
        bool germanDialogs = true;
        QString title1, title2, notice;
        QStringList headings;
    };
    State state() const;
    void restore(const State &state);

signals:
    // The lines in force were put into the windows; readers of them elsewhere follow.
    void languageApplied();

private:
    Windows m_w;
    DialogLanguage m_dialogs;
};
