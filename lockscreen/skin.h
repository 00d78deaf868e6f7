// The skin settings: nine colours and five font sizes from the skin
// folder's "config.ini", or the built-in values.
#pragma once
#include <windows.h>

#include "lockscreen/core/skin_scan.h"

// Written once by Skin_Load on the main thread before the lock window
// exists; read-only afterwards.
extern skin::SkinSettings g_skin;

// Fills the skin settings from <moduleDir>skin\analog\config.ini when
// clockType is 1, else skin\digital\config.ini. Main thread, at start-up.
void Skin_Load(const wchar_t* moduleDir, int clockType);
