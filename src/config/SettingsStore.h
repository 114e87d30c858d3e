#pragma once

#include "Settings.h"

#include <QSettings>
#include <memory>

// The store of the user's settings: QSettings in the native format under "Ostrel"/"Rittmeter"
// (~/.config/Ostrel/Rittmeter.conf on Linux, the registry key on Windows).
std::unique_ptr<QSettings> openSettingsStore();

// Reads the stored values in their fixed order. The first number that is missing or not a number
// ends the reading: what was read stays, the rest keeps what the record held. A missing text reads
// as empty. Numbers outside their range are brought into it, so a hand-edited file cannot upset the
// program.
void LoadSettings(const QSettings &store, TSettings &settings);

// Writes every value in the order the program has always written them.
void SaveSettings(QSettings &store, const TSettings &settings);

// Deletes every stored value; the next start runs on the defaults. False when the store cannot be
// written.
bool ResetSettingsStore(QSettings &store);
