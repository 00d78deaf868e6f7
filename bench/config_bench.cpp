// Configuration program benchmark, run under Wine by config_bench.sh (not a
// test). Medians over N rounds, each figure beside its floor measured in
// the same run, interleaved:
//   start : CreateProcess to a shown window whose message loop answers,
//           Tollwick against a bare full-screen window (lockscreen_floor);
//           beside them the bare window with Tollwick's fourteen common
//           controls (what Wine charges for the controls alone);
//   close : "Ok" clicked on the menu bar (save, exit step with AutoRun off)
//           to the process's end, against WM_CLOSE to the floor's end;
//   key   : SendInput of F5 to the armed capture button's new caption
//           (through the game-input hook and the window procedure);
//   memory: Tollwick's peak resident memory just before "Ok", against the
//           floor's before WM_CLOSE.
// Prints its human lines and the rows of bench/bench_rows.h.
// All starts are warm: a window of this program keeps Wine's desktop alive.
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_rows.h"
#include "bench/bench_win.h"

namespace {

// Polls (1 ms) until the window exists, is visible and its loop answers.
HWND WaitReady(const wchar_t* cls, const wchar_t* title, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND w = FindWindowW(cls, title);
    DWORD_PTR r = 0;
    if (w != nullptr && IsWindowVisible(w) && SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &r)) return w;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(1);
  }
}

HWND Bar(HWND owner) {
  struct S {
    HWND owner, found;
  } s = {owner, nullptr};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        S* s = reinterpret_cast<S*>(p);
        wchar_t cls[64] = L"";
        GetClassNameW(w, cls, 64);
        if (GetWindow(w, GW_OWNER) == s->owner && wcscmp(cls, L"OV_MENUBAR") == 0) {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

void Tap(WORD vk) {
  INPUT in[2];
  ZeroMemory(in, sizeof(in));
  for (int i = 0; i < 2; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = vk;
    in[i].ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  }
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

std::wstring Text(HWND w) {
  wchar_t t[64] = L"";
  GetWindowTextW(w, t, 64);
  return t;
}

double PeakMiB(HANDLE p) {
  PROCESS_MEMORY_COUNTERS m;
  if (!GetProcessMemoryInfo(p, &m, sizeof(m))) return -1;
  return static_cast<double>(m.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

double Median(const std::vector<double>& v) { return v.empty() ? -1 : rows::MedianOf(v); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? _wtoi(argv[1]) : 10;
  // Keeps Wine's desktop process alive between the starts (warm starts).
  HWND keeper = CreateWindowExW(0, L"STATIC", L"keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  const std::wstring tollwick = Installed(L"Tollwick.exe");
  const std::wstring floor = Beside(L"lockscreen_floor.exe"), controls = Beside(L"lockscreen_floor_controls.exe");
  std::vector<double> start, startFloor, startControls, close, closeFloor, key, peak, peakFloor;
  for (int i = 0; i < runs; ++i) {
    double t0 = Now();
    HANDLE c = Launch(controls, L"");
    HWND cw = WaitReady(L"LockFloor", L"floor", 10000);
    if (c == nullptr || cw == nullptr) return 4;
    startControls.push_back(Now() - t0);
    PostMessageW(cw, WM_CLOSE, 0, 0);
    WaitForSingleObject(c, 10000);
    CloseHandle(c);

    t0 = Now();
    HANDLE p = Launch(floor, L"");
    HWND w = WaitReady(L"LockFloor", L"floor", 10000);
    if (p == nullptr || w == nullptr) return 2;
    startFloor.push_back(Now() - t0);
    peakFloor.push_back(PeakMiB(p));
    t0 = Now();
    PostMessageW(w, WM_CLOSE, 0, 0);
    WaitForSingleObject(p, 10000);
    closeFloor.push_back(Now() - t0);
    CloseHandle(p);

    t0 = Now();
    p = Launch(tollwick, L"");
    w = WaitReady(L"TOLLWICK", L"Configuration", 10000);
    if (p == nullptr || w == nullptr) return 3;
    start.push_back(Now() - t0);
    HWND b1 = GetDlgItem(w, 0x8801);
    SendMessageW(b1, BM_CLICK, 0, 0);
    t0 = Now();
    Tap(VK_F5);
    while (Text(b1) != L"0x074" && Now() - t0 < 5000) Sleep(0);
    key.push_back(Now() - t0);
    peak.push_back(PeakMiB(p));
    HWND ok = GetDlgItem(Bar(w), 113);
    t0 = Now();
    SendMessageW(ok, BM_CLICK, 0, 0);
    WaitForSingleObject(p, 10000);
    close.push_back(Now() - t0);
    CloseHandle(p);
  }
  printf("Tollwick benchmark, %d rounds, warm starts, medians in ms\n", runs);
  printf("  start (CreateProcess to ready window): %7.1f   floor %7.1f   floor with the controls %7.1f\n",
         Median(start), Median(startFloor), Median(startControls));
  printf("  close (Ok / WM_CLOSE to process end):  %7.1f   floor %7.1f\n", Median(close), Median(closeFloor));
  printf("  key (SendInput to new caption):        %7.2f\n", Median(key));
  printf("  peak resident (MiB):                   %7.1f   floor %7.1f\n", Median(peak), Median(peakFloor));
  char n[32];
  snprintf(n, sizeof(n), "%d", runs);
  const std::vector<double> none;
  // A goal missed names what Wine alone charges for the controls,
  // measured in this run.
  const bool startMet = Median(start) <= 1.5 * Median(startFloor);
  char startGoal[96] = "<= 1.5x floor";
  if (!startMet && Median(startFloor) > 0)
    snprintf(startGoal, sizeof(startGoal), "<= 1.5x floor; Wine: common controls x%.2f",
             Median(startControls) / Median(startFloor));
  rows::Row("Tollwick start to ready window (240x320)", start, "ms", n, startFloor, rows::kRatio, startGoal, startMet,
            "warm");
  rows::Row("  floor: bare full-screen window", startFloor, "ms", n, none, rows::kNone, "-", -1, "warm");
  rows::Row("  floor + Tollwick's common controls (Wine)", startControls, "ms", n, startFloor, rows::kRatio, "-", -1,
            "warm");
  rows::Row("Tollwick Ok to process end", close, "ms", n, closeFloor, rows::kDifference, "-", -1, "warm");
  rows::Row("Tollwick key to new button caption", key, "ms", n, none, rows::kNone, "-", -1, "warm");
  rows::Row("Tollwick peak resident", peak, "MiB", n, peakFloor, rows::kDifference, "-", -1, "warm");
  DestroyWindow(keeper);
  return 0;
}
