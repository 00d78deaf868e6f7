// Endurance run of the installed service, under Wine (run by ./run-soak; not
// a test): CYCLES lock/unlock cycles with real input - a suspend broadcast
// locks through the armed Hushpane, the two unlock buttons end the lock
// screen - and every 100 cycles one line: the service's handle count, its
// GDI and USER objects, its resident memory, Corvane's start-to-painted
// time (median of those 100 cycles) and any suite process left over.
// At the end the service's handles, GDI and USER objects must equal their
// values after the first 100 cycles (within 2) and its memory must be
// within 1 MiB of it: exit code 0, else 1.
//
// Wine answers GetProcessHandleCount for another process with 0, so the
// handle count is taken by duplicating every handle value the service could
// hold; GetGuiResources is printed as Wine gives it.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_rows.h"
#include "bench/bench_win.h"
#include "platform/device_state.h"
#include "platform/power.h"
#include "shared/lock_window.h"

namespace {

const wchar_t kSettings[] = L"Software\\Ombrevale\\Hushpane";
const WORD kButton1 = VK_F1, kButton2 = 'K';
const DWORD kStepMs = 10000;  // the bound of every wait of a cycle

struct Sample {
  int handles;
  DWORD gdi, user;
  double residentMiB;
};

// Handle values are multiples of 4; the service holds a few dozen.
int CountHandles(HANDLE process) {
  int count = 0;
  for (ULONG_PTR value = 4; value < 4 * 16384; value += 4) {
    HANDLE copy = nullptr;
    if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS)) {
      ++count;
      CloseHandle(copy);
    }
  }
  return count;
}

Sample Measure(HANDLE service) {
  Sample s;
  s.handles = CountHandles(service);
  s.gdi = GetGuiResources(service, GR_GDIOBJECTS);
  s.user = GetGuiResources(service, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS m;
  ZeroMemory(&m, sizeof(m));
  s.residentMiB = GetProcessMemoryInfo(service, &m, sizeof(m)) ? static_cast<double>(m.WorkingSetSize) / 1048576.0 : -1;
  return s;
}

int Running(const wchar_t* exe) {
  int n = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W e;
  e.dwSize = sizeof(e);
  for (BOOL ok = Process32FirstW(snap, &e); ok; ok = Process32NextW(snap, &e))
    if (_wcsicmp(e.szExeFile, exe) == 0) ++n;
  CloseHandle(snap);
  return n;
}

bool WaitFor(bool (*condition)(void*), void* context, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!condition(context)) {
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(5);
  }
  return true;
}

// The service is armed once it reads what is sent to it.
bool Listening(void*) {
  DWORD probe[3] = {PBT_POWERINFOCHANGE, 0, 0};
  return SendPowerBroadcast(probe, sizeof(probe)) >= 1 &&
         WaitFor([](void*) { return PowerBusBacklog() == 0; }, nullptr, 2000);
}

// The lock window, visible, painted and holding the keys.
struct Shown {
  HWND window;
  DWORD pid;
};
bool LockShown(void* context) {
  Shown* s = static_cast<Shown*>(context);
  s->window = FindWindowW(kLockWindowClass, kLockWindowTitle);
  if (s->window == nullptr || !IsWindowVisible(s->window) || GetUpdateRect(s->window, nullptr, FALSE)) return false;
  GetWindowThreadProcessId(s->window, &s->pid);
  DWORD owner = 0;
  return DeviceReadDword(L"GameInputOwner", &owner) && owner == s->pid;
}

double FileTimeMs(const FILETIME& f) {
  ULARGE_INTEGER u;
  u.LowPart = f.dwLowDateTime;
  u.HighPart = f.dwHighDateTime;
  return static_cast<double>(u.QuadPart) / 10000.0;
}

// One cycle; Corvane's start-to-painted time in ms, or a negative step
// number where it failed.
double Cycle() {
  DWORD suspend[3] = {PBT_TRANSITION, POWER_STATE_SUSPEND, 0};
  if (SendPowerBroadcast(suspend, sizeof(suspend)) < 1) return -1;
  Shown shown = {nullptr, 0};
  if (!WaitFor(LockShown, &shown, kStepMs)) return -2;
  FILETIME now, created, exited, kernel, user;
  GetSystemTimeAsFileTime(&now);
  HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shown.pid);
  if (p == nullptr) return -3;
  double painted = -4;
  if (GetProcessTimes(p, &created, &exited, &kernel, &user)) painted = FileTimeMs(now) - FileTimeMs(created);
  Key(kButton1, false);
  Key(kButton2, false);
  bool ended = WaitForSingleObject(p, kStepMs) == WAIT_OBJECT_0;
  Key(kButton1, true);
  Key(kButton2, true);
  CloseHandle(p);
  if (!ended) return -5;
  if (!WaitFor(Listening, nullptr, kStepMs)) return -6;
  return painted;
}

void Print(int cycle, const Sample& s, double paintedMedian) {
  printf("cycle %5d  handles %4d  GDI %3lu  USER %3lu  resident %7.2f MiB  Corvane start-to-painted %7.1f ms  "
         "left over: Corvane %d, Tollwick %d, Hushpane %d\n",
         cycle, s.handles, s.gdi, s.user, s.residentMiB, paintedMedian, Running(L"Corvane.exe"),
         Running(L"Tollwick.exe"), Running(L"Hushpane.exe"));
  fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int cycles = argc > 1 ? _wtoi(argv[1]) : 1000;
  if (cycles < 100) cycles = 100;
  HWND keeper = CreateWindowExW(0, L"Static", L"keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  (void)keeper;  // keeps Wine's desktop process alive: warm starts throughout
  SetDword(HKEY_LOCAL_MACHINE, kSettings, L"AutoRun", 1);
  SetDword(HKEY_LOCAL_MACHINE, kSettings, L"ActivateAtStartup", 0);
  SetDword(HKEY_LOCAL_MACHINE, kSettings, L"EnableOnAC", 0);
  SetDword(HKEY_LOCAL_MACHINE, kSettings, L"Button_1", kButton1);
  SetDword(HKEY_LOCAL_MACHINE, kSettings, L"Button_2", kButton2);
  DeviceMarkTool();  // the simulated values count
  DeviceWriteDword(L"ACLineStatus", 1);
  DeviceWriteDword(L"BatteryPercent", 80);

  HANDLE service = Launch(Installed(L"Hushpane.exe"), L"/load");
  if (service == nullptr || !WaitFor(Listening, nullptr, kStepMs)) {
    printf("the service did not start listening\n");
    return 1;
  }
  printf("%d cycles through the installed service, screen %dx%d\n", cycles, GetSystemMetrics(SM_CXSCREEN),
         GetSystemMetrics(SM_CYSCREEN));
  Sample first = {0, 0, 0, 0}, last = first;
  std::vector<double> painted;
  int failures = 0;
  for (int i = 1; i <= cycles; ++i) {
    double t = Cycle();
    if (t < 0) {
      printf("cycle %d failed at step %d\n", i, static_cast<int>(-t));
      if (++failures >= 3) break;
      continue;
    }
    painted.push_back(t);
    if (i % 100 == 0) {
      last = Measure(service);
      if (i == 100) first = last;
      Print(i, last, rows::MedianOf(painted));
      painted.clear();
    }
  }
  HANDLE stop = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Ombrevale - Hushpane_Unload");
  if (stop != nullptr) {
    SetEvent(stop);
    CloseHandle(stop);
  }
  if (WaitForSingleObject(service, kStepMs) != WAIT_OBJECT_0) TerminateProcess(service, 1);
  CloseHandle(service);
  bool steady = failures == 0 && std::abs(last.handles - first.handles) <= 2 &&
                std::abs(static_cast<long>(last.gdi) - static_cast<long>(first.gdi)) <= 2 &&
                std::abs(static_cast<long>(last.user) - static_cast<long>(first.user)) <= 2 &&
                std::fabs(last.residentMiB - first.residentMiB) <= 1.0;
  printf("after 100 cycles: handles %d, GDI %lu, USER %lu, %.2f MiB; at the end: handles %d, GDI %lu, USER %lu, "
         "%.2f MiB; %d failed cycles: %s\n",
         first.handles, first.gdi, first.user, first.residentMiB, last.handles, last.gdi, last.user, last.residentMiB,
         failures, steady ? "steady" : "NOT steady");
  return steady ? 0 : 1;
}
