// Helpers of the end-to-end tests; see e2e_support.h.
#include "tests/wine/support/e2e_support.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>

#include "tests/wine/support/support.h"

namespace e2e {

namespace {

constexpr DWORD kRunWaitMs = 60000;
constexpr DWORD kStartWaitMs = 15000;

std::wstring ParentOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

std::wstring SetupPath() {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return L"";
  return ParentOf(ParentOf(self)) + L"\\setup.exe";
}

HANDLE Launch(const std::wstring& path, const std::wstring& args) {
  std::wstring command = L"\"" + path + L"\" " + args;
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

int Run(const std::wstring& path, const std::wstring& args) {
  HANDLE process = Launch(path, args);
  if (process == nullptr) return -1;
  const int code = wt::WaitExit(process, kRunWaitMs);
  CloseHandle(process);
  return code;
}

int RunSetup(const std::wstring& args) { return Run(SetupPath(), args); }

std::wstring InstallFolder() { return ParentOf(wt::InstalledPath(L"x")); }

int RunUninstall(const std::wstring& extra) {
  // "_?=" takes the rest of the command line, spaces included: it comes last.
  std::wstring args = L"/S ";
  if (!extra.empty()) args += extra + L" ";
  return Run(wt::InstalledPath(L"uninstall.exe"), args + L"_?=" + InstallFolder());
}

Traced StartTracedTollwick() {
  Traced t;
  wchar_t name[64];
  swprintf(name, 64, L"ombrevale-e2e-%lu-%lu.log", GetCurrentProcessId(), GetTickCount());
  t.trace.traceFile = std::wstring(L"Z:\\tmp\\") + name;
  std::wstring command = L"/bin/sh -c \"WINEDEBUG=trace+text exec wine '" + wt::InstalledPath(L"Tollwick.exe") +
                         L"' 2>/tmp/" + name + L"\"";
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(L"Z:\\bin\\sh", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return t;
  CloseHandle(pi.hThread);
  t.shell = pi.hProcess;
  t.window = wt::WaitWindow(L"TOLLWICK", L"Configuration", kStartWaitMs);
  if (t.window != nullptr) {
    // Shown, every control made, and the message loop answering.
    wt::WaitFor([&] { return IsWindowVisible(t.window) && GetDlgItem(t.window, 0x8812) != nullptr; }, kStartWaitMs);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(t.window, WM_NULL, 0, 0, SMTO_NORMAL, kStartWaitMs, &result);
  }
  return t;
}

void CloseTraced(Traced& t) {
  wt::KillSuite();
  if (t.shell != nullptr) {
    WaitForSingleObject(t.shell, wt::kStepMs);
    CloseHandle(t.shell);
  }
  lt::CloseLock(t.trace);  // its trace file
  t = Traced();
}

size_t DrawnCount(const Traced& t) { return lt::DrawnTexts(t.trace).size(); }

namespace {

typedef LONG(NTAPI* QueryProcess)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

// The command line from the process's parameters block (PEB), read with
// ReadProcessMemory: what the program itself gets from GetCommandLineW.
std::wstring CommandLineOf(DWORD pid) {
  static const QueryProcess query = reinterpret_cast<QueryProcess>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  std::wstring line;
  if (query == nullptr) return line;
  HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (p == nullptr) return line;
  PROCESS_BASIC_INFORMATION info = {};
  PEB peb = {};
  RTL_USER_PROCESS_PARAMETERS params = {};
  SIZE_T got = 0;
  if (query(p, ProcessBasicInformation, &info, sizeof(info), nullptr) == 0 &&
      ReadProcessMemory(p, info.PebBaseAddress, &peb, sizeof(peb), &got) &&
      ReadProcessMemory(p, peb.ProcessParameters, &params, sizeof(params), &got)) {
    std::wstring text(params.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!text.empty() && ReadProcessMemory(p, params.CommandLine.Buffer, &text[0], text.size() * sizeof(wchar_t), &got))
      line = text;
  }
  CloseHandle(p);
  return line;
}

}  // namespace

std::vector<std::wstring> CommandLinesOf(const wchar_t* exeName) {
  std::vector<std::wstring> lines;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return lines;
  PROCESSENTRY32W e;
  e.dwSize = sizeof(e);
  for (BOOL ok = Process32FirstW(snap, &e); ok; ok = Process32NextW(snap, &e))
    if (_wcsicmp(e.szExeFile, exeName) == 0) lines.push_back(CommandLineOf(e.th32ProcessID));
  CloseHandle(snap);
  return lines;
}

std::wstring UninstallEntry(const wchar_t* name) {
  wchar_t value[512] = L"";
  DWORD size = sizeof(value) - sizeof(wchar_t);
  DWORD type = 0;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OmbrevaleHushpane",
                    0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return L"";
  const LONG rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return L"";
  value[size / sizeof(wchar_t)] = L'\0';
  return value;
}

}  // namespace e2e
