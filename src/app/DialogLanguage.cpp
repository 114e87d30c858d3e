#include "DialogLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

DialogLanguage::~DialogLanguage()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
}

bool DialogLanguage::apply(bool german)
{
    m_german = german;
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
    const QLocale locale = german ? QLocale(QLocale::German, QLocale::Germany) : QLocale::system();
    m_installed = m_translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                  QCoreApplication::installTranslator(&m_translator);
    return m_installed;
}

bool DialogLanguage::isGerman(const QString &languageName)
{
    return languageName.startsWith(QLatin1String("Deutsch"), Qt::CaseInsensitive);
}
