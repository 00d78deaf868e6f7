// The device tool's commands, one file per group. Each takes the words
// after the command name and returns the process exit code: 0 done, 1 a
// failure (or "off" for the display query), 2 bad usage.
#pragma once
#include <windows.h>

const int kExitDone = 0;
const int kExitFailed = 1;
const int kExitUsage = 2;

int CommandPower(int argc, wchar_t** argv);
int CommandDisplay(int argc, wchar_t** argv);
int CommandAc(int argc, wchar_t** argv);
int CommandBattery(int argc, wchar_t** argv);
int CommandIdle(int argc, wchar_t** argv);
int CommandClock(int argc, wchar_t** argv);
int CommandCalls(int argc, wchar_t** argv);
int CommandCount(const wchar_t* which, int argc, wchar_t** argv);
int CommandOwner(int argc, wchar_t** argv);
int CommandHotkey(int argc, wchar_t** argv);
int CommandControl(int argc, wchar_t** argv);
int CommandRunning(int argc, wchar_t** argv);

// Registry helpers of the phone-state commands.
bool WriteDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value);
bool DeleteValue(HKEY root, const wchar_t* key, const wchar_t* name);
