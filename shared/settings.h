// The settings store over the real registry: each program's load, the
// configuration program's save, and the owner name.
#pragma once
#include <windows.h>

#include "shared/core/settings_rules.h"

// HKEY_LOCAL_MACHINE "Software\Ombrevale\Hushpane".
extern const wchar_t kSettingsKey[];

void LoadLockScreenSettings(settings::LockScreenSettings* s);
void LoadServiceSettings(settings::ServiceSettings* s);
void LoadConfigSettings(settings::ConfigSettings* s);
// Writes the thirteen values, in order, as REG_DWORD of 4 bytes. FALSE when
// the key could not be created or opened (nothing written) or any value
// could not be written: the caller must tell the user.
BOOL SaveConfigSettings(const settings::ConfigSettings* s);

// HKEY_CURRENT_USER "ControlPanel\Owner" "Name" into `out` (64 units), or
// the vendor text when the name is missing, not a string or too long.
void ReadOwnerName(wchar_t out[64]);
