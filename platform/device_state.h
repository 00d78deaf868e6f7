// The simulated device: values the device tool sets and the platform
// stand-ins read, kept under HKEY_CURRENT_USER "Software\Ombrevale\Device".
// The registry is the one store every process of the suite (and the tool)
// already shares, so no other channel is needed. A value that is missing or
// not a 4-byte REG_DWORD means "not simulated: use the desktop's own".
//
// Values (all REG_DWORD unless noted):
//   "ACLineStatus"    0 offline, 1 online, 2 backup, 255 unknown
//   "BatteryPercent"  0-100, 255 unknown
//   "IdleMode"        1 idle (the counter grows with real time),
//                     2 busy (the counter stands still), 3 fixed value
//   "IdleBase"        the counter value when the mode was set
//   "IdleSince"       GetTickCount when the mode was set
//   "DisplayOff"      1 while the display is recorded as off
//   "ClockOverride"   REG_BINARY SYSTEMTIME: the pinned local time
//   "ClockSetAt"      REG_BINARY UTC FILETIME when the clock was pinned
//                     (system time, the same in every process)
//   "ClockRuns"       1 when the pinned clock advances
//   "HotkeyHits"      hot-key count of the device tool's hot-key helper
//   "GameInputOwner"  id of the process holding game input (0: none)
//   "HookRefusals"    the next so many keyboard-hook installs fail, as on a
//                     system that refuses the hook (counted down)
//   "DeviceTool"      1: the device tool installed itself (see below)
//
// The simulated values (power status, idle time, clock, display, hook
// refusals) are heeded only while "DeviceTool" is 1. Only the device tool
// writes it, before anything it sets, and the uninstaller removes the key:
// a stray value in a user's registry, left by anything else, never stands
// in for the PC's own.
#pragma once
#include <windows.h>

#define DEVICE_STATE_KEY L"Software\\Ombrevale\\Device"

// TRUE and the value when it is a 4-byte REG_DWORD; FALSE otherwise (the
// target untouched).
BOOL DeviceReadDword(LPCWSTR name, DWORD* value);
BOOL DeviceWriteDword(LPCWSTR name, DWORD value);
// Reads a REG_BINARY value of exactly `size` bytes.
BOOL DeviceReadBinary(LPCWSTR name, void* data, DWORD size);
BOOL DeviceWriteBinary(LPCWSTR name, const void* data, DWORD size);
// The same for a simulated value: FALSE also while the device tool has not
// installed itself.
BOOL DeviceSimulatedDword(LPCWSTR name, DWORD* value);
BOOL DeviceSimulatedBinary(LPCWSTR name, void* data, DWORD size);
// The device tool's mark, written before anything it sets.
BOOL DeviceMarkTool(void);
// Removes a value (TRUE also when it was not there).
BOOL DeviceDeleteValue(LPCWSTR name);
