#pragma once

#include <QObject>
#include <QTranslator>

// The language of Qt's own dialogs and buttons (file, colour and print dialogs, "Ja"/"Nein"):
// German with the program's German texts, the system's language with any other language file.
class DialogLanguage : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~DialogLanguage() override;

    // False when Qt has no translation for that language; the dialogs then speak English.
    bool apply(bool german);
    bool german() const { return m_german; }

    // Whether a language file holds German texts.
    static bool isGerman(const QString &languageName);

private:
    QTranslator m_translator;
    bool m_installed = false;
    bool m_german = true; // what was asked for last
};
