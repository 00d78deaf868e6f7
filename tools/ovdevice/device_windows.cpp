// Device tool: what a script needs to drive the suite's windows with the
// pointer and to watch its processes, for the demo.
//   control <id-hex>  prints "x y", the screen centre of the control with
//                     that id in the configuration window or its menu bar
//   running <exe>     prints how many processes run that program; exit 0
//                     when at least one does, 1 when none
#include "tools/ovdevice/ovdevice.h"

#include <stdio.h>
#include <tlhelp32.h>
#include <wchar.h>

namespace {

struct Search {
  int id;
  HWND main;
  HWND found;
};

BOOL CALLBACK FindChild(HWND child, LPARAM param) {
  Search* s = reinterpret_cast<Search*>(param);
  if (GetDlgCtrlID(child) == s->id && IsWindowVisible(child)) {
    s->found = child;
    return FALSE;
  }
  return TRUE;
}

// The menu bar is a popup owned by the configuration window.
BOOL CALLBACK FindInOwned(HWND top, LPARAM param) {
  Search* s = reinterpret_cast<Search*>(param);
  if (GetWindow(top, GW_OWNER) != s->main) return TRUE;
  EnumChildWindows(top, FindChild, param);
  return s->found == nullptr;
}

}  // namespace

int CommandControl(int argc, wchar_t** argv) {
  if (argc != 1) return kExitUsage;
  wchar_t* end = nullptr;
  long id = wcstol(argv[0], &end, 16);
  if (end == argv[0] || *end != L'\0') return kExitUsage;
  Search s = {static_cast<int>(id), FindWindowW(L"TOLLWICK", L"Configuration"), nullptr};
  if (s.main == nullptr) return kExitFailed;
  EnumChildWindows(s.main, FindChild, reinterpret_cast<LPARAM>(&s));
  if (s.found == nullptr) EnumWindows(FindInOwned, reinterpret_cast<LPARAM>(&s));
  if (s.found == nullptr) return kExitFailed;
  RECT r;
  GetWindowRect(s.found, &r);
  printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  return kExitDone;
}

int CommandRunning(int argc, wchar_t** argv) {
  if (argc != 1) return kExitUsage;
  int count = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap != INVALID_HANDLE_VALUE) {
    PROCESSENTRY32W e;
    e.dwSize = sizeof(e);
    for (BOOL ok = Process32FirstW(snap, &e); ok; ok = Process32NextW(snap, &e))
      if (_wcsicmp(e.szExeFile, argv[0]) == 0) ++count;
    CloseHandle(snap);
  }
  printf("%d\n", count);
  return count > 0 ? kExitDone : kExitFailed;
}
