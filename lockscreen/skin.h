// The skin settings: nine colours and five font sizes from the skin
// folder's "config.ini", or the built-in values.
#pragma once
#include <windows.h>

#include "lockscreen/core/skin_scan.h"

// The skin settings from <moduleDir>skin\analog\config.ini for the analog
// clock, else skin\digital\config.ini; the built-in values where the file
// cannot be read. Main thread, at start-up.
skin::SkinSettings Skin_Load(const wchar_t* moduleDir, int32_t clockType);
