// Shell links for the tests: the installed shortcut that setup would make
// (a real IShellLink link to Hushpane.exe) and the start-up shortcut the
// configuration program copies from it.
#pragma once
#include <windows.h>

#include <string>

namespace wt {

// Programs + "\Ombrevale\Hushpane\OV Hushpane.lnk".
std::wstring InstalledShortcutPath();
// Startup + "\OV Hushpane.lnk".
std::wstring StartupShortcutPath();

// Writes a shell link at `path` pointing at `target`, creating the folders.
bool MakeShortcut(const std::wstring& path, const std::wstring& target);
// The installed shortcut to the installed Hushpane.exe.
bool MakeInstalledShortcut();
// The target path a shell link holds; empty when the file is not a link.
std::wstring ShortcutTarget(const std::wstring& path);

bool FileExists(const std::wstring& path);
// Writes a small plain file (to tell a kept file from a replaced one).
bool WriteTextFile(const std::wstring& path, const char* text);
std::string ReadTextFile(const std::wstring& path);
// Removes both shortcuts (the start-up one and the installed one).
void RemoveShortcuts();

}  // namespace wt
