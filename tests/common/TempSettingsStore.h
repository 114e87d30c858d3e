#pragma once

#include "SettingsStore.h"

#include <QTemporaryDir>

// Points the program's settings store at a fresh folder, so no test reads what another wrote.
class TempSettingsStore
{
public:
    TempSettingsStore()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }
    std::unique_ptr<QSettings> open() const { return openSettingsStore(); }

private:
    QTemporaryDir m_dir;
};
