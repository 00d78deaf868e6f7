// ovasuser: setup's helper that starts a program as the user who is logged
// on, not elevated. Setup runs elevated (it writes Program Files and the
// machine's settings key); a program it started itself would run elevated
// as well and, when an administrator's password elevated a standard user's
// setup, as that administrator, with the administrator's registry,
// folders and shortcuts. The shell's process runs as the logged-on user:
// the program is started as its child (PROC_THREAD_ATTRIBUTE_PARENT_PROCESS)
// and so gets the shell's token, with the user's own environment. Where no
// shell window exists (Wine, a session without Explorer) the program is
// started plainly.
//
// Usage: ovasuser.exe "<program>" [arguments]   (the program's command line
// is everything after ovasuser's own path). Exit code 0 started, 1 not,
// 2 bad usage.
#include <windows.h>
#include <shellapi.h>
#include <userenv.h>

#include <cwchar>

#include "service/core/pass_rules.h"

namespace {

// The shell's process, opened to be a parent and for its token; NULL when
// there is no shell window or it cannot be opened.
HANDLE OpenShellProcess() {
  HWND shell = GetShellWindow();
  DWORD pid = 0;
  if (shell == nullptr || GetWindowThreadProcessId(shell, &pid) == 0 || pid == 0) return nullptr;
  return OpenProcess(PROCESS_CREATE_PROCESS | PROCESS_QUERY_INFORMATION, FALSE, pid);
}

BOOL StartUnderShell(HANDLE shell, const wchar_t* program, wchar_t* line, PROCESS_INFORMATION* pi) {
  // One attribute needs a few dozen bytes; the size is asked for all the same.
  alignas(void*) BYTE listBuffer[256];
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  LPPROC_THREAD_ATTRIBUTE_LIST list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listBuffer);
  if (size > sizeof(listBuffer) || !InitializeProcThreadAttributeList(list, 1, 0, &size)) return FALSE;
  BOOL started = FALSE;
  if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_PARENT_PROCESS, &shell, sizeof(shell), nullptr,
                                nullptr)) {
    // The user's environment (APPDATA, TEMP and the rest are theirs).
    void* environment = nullptr;
    HANDLE token = nullptr;
    if (OpenProcessToken(shell, TOKEN_QUERY | TOKEN_DUPLICATE, &token)) {
      if (!CreateEnvironmentBlock(&environment, token, FALSE)) environment = nullptr;
      CloseHandle(token);
    }
    STARTUPINFOEXW si;
    ZeroMemory(&si, sizeof(si));
    si.StartupInfo.cb = sizeof(si);
    si.lpAttributeList = list;
    DWORD flags = EXTENDED_STARTUPINFO_PRESENT | (environment != nullptr ? CREATE_UNICODE_ENVIRONMENT : 0);
    started = CreateProcessW(program, line, nullptr, nullptr, FALSE, flags, environment, nullptr, &si.StartupInfo, pi);
    if (environment != nullptr) DestroyEnvironmentBlock(environment);
  }
  DeleteProcThreadAttributeList(list);
  return started;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 2) return 2;
  // The program's own command line, its quoted path first (Wine takes the
  // first token as the program's name).
  const wchar_t* rest = service::SkipProgramToken(GetCommandLineW());
  while (*rest == L' ' || *rest == L'\t') ++rest;
  static wchar_t line[32768];
  if (wcslen(rest) >= 32768) return 2;
  wcscpy(line, rest);

  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof(pi));
  BOOL started = FALSE;
  HANDLE shell = OpenShellProcess();
  if (shell != nullptr) {
    started = StartUnderShell(shell, argv[1], line, &pi);
    CloseHandle(shell);
  }
  if (!started) {
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    wcscpy(line, rest);  // CreateProcessW may have written into it
    started = CreateProcessW(argv[1], line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  }
  LocalFree(argv);
  if (!started) return 1;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}
