// What the end-to-end tests share: the setup program of the build, the
// installed uninstaller, the configuration program started with Wine's text
// trace (so that every program it starts, the service and through it the
// lock screen, draws into the same trace), and the command lines of
// running programs.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/wine/support/lockscreen_support.h"

namespace e2e {

// The build's setup.exe: the folder above this test program's bin folder.
std::wstring SetupPath();
// Starts `"<path>" args`; its process handle, NULL on failure.
HANDLE Launch(const std::wstring& path, const std::wstring& args);
// Runs `"<path>" args` and waits up to 60 s; its exit code, -1 when it did
// not start or end.
int Run(const std::wstring& path, const std::wstring& args);
// setup.exe with `args`: by default silent and with the device tool, which
// the tests drive the suite with.
int RunSetup(const std::wstring& args = L"/S /DEVICETOOL");
// The installed uninstaller, silent and in place (it waits), with `extra`
// switches before the folder.
int RunUninstall(const std::wstring& extra = L"");
// Program Files + "\Ombrevale\Hushpane" (no trailing backslash).
std::wstring InstallFolder();

// Tollwick started through a Unix shell with WINEDEBUG=trace+text and its
// standard error on a file: Wine writes the trace there, and the service
// and the lock screen it starts inherit both the setting and the file.
struct Traced {
  HANDLE shell = nullptr;  // the shell that became Tollwick's Wine loader
  HWND window = nullptr;   // Tollwick's window, once its loop runs
  lt::Lock trace;          // only traceFile is used, for lt::DrawnTexts
};
Traced StartTracedTollwick();
void CloseTraced(Traced& t);
// Texts drawn so far (into t.trace, read with lt::DrawnTexts).
size_t DrawnCount(const Traced& t);

// The Windows command lines of the running processes with this executable
// name (read from each process's own parameters block).
std::vector<std::wstring> CommandLinesOf(const wchar_t* exeName);

// A text value of the suite's entry in the list of installed programs
// (HKLM ...\CurrentVersion\Uninstall\OmbrevaleHushpane); empty when missing.
std::wstring UninstallEntry(const wchar_t* name);

}  // namespace e2e
