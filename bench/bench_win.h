// What the Windows benchmark programs share: a millisecond clock, a
// registry write, the installed programs' paths, a file beside the benchmark
// program, MiB and a plain process start.
// Header only: each benchmark is one source file built by its script.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

// Milliseconds from the performance counter.
inline double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

inline void SetDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD v) {
  HKEY h;
  if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExW(h, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4);
  RegCloseKey(h);
}

// Program Files + "\Ombrevale\Hushpane\" + file.
inline std::wstring Installed(const wchar_t* file) {
  wchar_t folder[MAX_PATH];
  if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILES, FALSE)) return L"";
  return std::wstring(folder) + L"\\Ombrevale\\Hushpane\\" + file;
}

// `file` in this benchmark program's own folder (the folder itself for "").
inline std::wstring Beside(const wchar_t* file) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring s(self);
  return s.substr(0, s.find_last_of(L'\\') + 1) + file;
}

inline double MiB(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

// Starts `"<path>" args` (args may be empty); the process handle, or NULL.
inline HANDLE Launch(const std::wstring& path, const wchar_t* args) {
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof(si));
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof(pi));
  std::wstring cmd = L"\"" + path + L"\"";
  if (args != nullptr && args[0] != L'\0') cmd += std::wstring(L" ") + args;
  if (!CreateProcessW(path.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

// One key event through the system's input, as a person's key press.
inline void Key(WORD vk, bool up) {
  INPUT in;
  ZeroMemory(&in, sizeof(in));
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof(in));
}
