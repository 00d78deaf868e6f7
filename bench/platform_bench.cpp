// Platform stand-ins benchmark, run under Wine by platform_bench.sh (not a
// test). Medians over N runs, each beside its floor measured in the same
// run:
//   broadcast : SendPowerBroadcast to the reader in another process waking
//               from ReadMsgQueue and answering on an event; floor: the same
//               two processes ping-ponging two named events.
//   send      : the sender's own time for one broadcast with 0, 1 and 8
//               registered readers (a reader that never reads misses
//               records once full, which costs the sender nothing more).
//   key       : SendInput to WM_KEYDOWN in the game-input target of another
//               process (hook, swallow, post); floor: SendInput to
//               WM_KEYDOWN in the same kind of window of another process,
//               focused, with no hook anywhere. The two are measured in
//               alternating rounds (a fresh process each, its first key
//               not counted), so that both meet the same machine.
// Prints its human lines and the rows of bench/bench_rows.h.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/bench_rows.h"
#include "bench/bench_win.h"
#include "platform/gameinput.h"
#include "platform/power.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

HANDLE Event(const wchar_t* name) { return CreateEventW(nullptr, FALSE, FALSE, name); }

HANDLE StartSelf(const wchar_t* mode) {
  wchar_t self[MAX_PATH], line[MAX_PATH + 64];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  swprintf(line, MAX_PATH + 64, L"\"%ls\" %ls", self, mode);
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(self, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

HANDLE RegisteredQueue() {
  MSGQUEUEOPTIONS options = {sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, 0, 1024, TRUE};
  HANDLE q = CreateMsgQueue(nullptr, &options);
  if (q != nullptr) RequestPowerNotifications(q, POWER_NOTIFY_ALL);
  return q;
}

// Reader process: answers every record (or every ping) on "bench.ack".
int Reader() {
  HANDLE q = RegisteredQueue();
  HANDLE ping = Event(L"bench.ping"), ack = Event(L"bench.ack"), ready = Event(L"bench.ready");
  SetEvent(ready);
  HANDLE waits[2] = {q, ping};
  BYTE buffer[1024];
  for (;;) {
    DWORD r = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (r == WAIT_OBJECT_0) {
      DWORD read = 0, flags = 0;
      if (ReadMsgQueue(q, buffer, sizeof(buffer), &read, 0, &flags)) SetEvent(ack);
    } else if (r == WAIT_OBJECT_0 + 1) {
      SetEvent(ack);
    } else {
      return 1;
    }
  }
}

// A registered reader that never reads.
int Idler() {
  RegisteredQueue();
  SetEvent(Event(L"bench.ready"));
  Sleep(INFINITE);
  return 0;
}

HANDLE g_keyDown = nullptr;

LRESULT CALLBACK KeyWindow(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_KEYDOWN) SetEvent(g_keyDown);
  return DefWindowProcW(w, m, wp, lp);
}

HWND MakeKeyWindow(int x) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = KeyWindow;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BenchKeys";
  RegisterClassW(&wc);
  return CreateWindowExW(0, wc.lpszClassName, L"bench", WS_POPUP | WS_VISIBLE, x, 0, 50, 50, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

// Key-taker process: its window in front with the focus, "bench.key"
// signalled on each WM_KEYDOWN; `hooked` also holds game input on it.
int KeyTaker(bool hooked) {
  g_keyDown = CreateEventW(nullptr, FALSE, FALSE, L"bench.key");
  HWND w = MakeKeyWindow(100);
  SetForegroundWindow(w);
  SetFocus(w);
  if (hooked) {
    GameInputSetTarget(w);
    GXOpenInput();
  }
  SetEvent(Event(L"bench.ready"));
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

void Tap(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

void Kill(HANDLE& p) {
  if (p == nullptr) return;
  TerminateProcess(p, 0);
  WaitForSingleObject(p, 5000);
  CloseHandle(p);
  p = nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && wcscmp(argv[1], L"reader") == 0) return Reader();
  if (argc >= 2 && wcscmp(argv[1], L"idler") == 0) return Idler();
  if (argc >= 2 && wcscmp(argv[1], L"holder") == 0) return KeyTaker(true);
  if (argc >= 2 && wcscmp(argv[1], L"plain") == 0) return KeyTaker(false);
  int runs = argc >= 2 ? _wtoi(argv[1]) : 50;
  if (runs < 10) runs = 10;
  HANDLE ready = Event(L"bench.ready"), ping = Event(L"bench.ping"), ack = Event(L"bench.ack");
  DWORD record[3] = {PBT_TRANSITION, POWER_STATE_IDLE, 0};

  // Send cost with no reader at all.
  std::vector<double> send0;
  for (int i = 0; i < runs; ++i) {
    double t = Now();
    SendPowerBroadcast(record, sizeof(record));
    send0.push_back(Now() - t);
  }

  HANDLE reader = StartSelf(L"reader");
  WaitForSingleObject(ready, 10000);
  std::vector<double> bus, floor, send1;
  for (int i = 0; i < runs; ++i) {
    double t = Now();
    SetEvent(ping);
    WaitForSingleObject(ack, 5000);
    floor.push_back(Now() - t);
    t = Now();
    SendPowerBroadcast(record, sizeof(record));
    send1.push_back(Now() - t);
    WaitForSingleObject(ack, 5000);
    bus.push_back(Now() - t);
  }
  HANDLE idlers[7] = {};
  for (HANDLE& h : idlers) {
    h = StartSelf(L"idler");
    WaitForSingleObject(ready, 10000);
  }
  std::vector<double> send8;
  for (int i = 0; i < runs; ++i) {
    double t = Now();
    SendPowerBroadcast(record, sizeof(record));
    send8.push_back(Now() - t);
    WaitForSingleObject(ack, 5000);
  }
  for (HANDLE& h : idlers) Kill(h);
  Kill(reader);

  // Keys: rounds of a plain key taker (no hook anywhere) and a game-input
  // holder, in turn (ABBA), each a fresh process whose first key only
  // warms it up. The keys of one process move together (here a round's
  // median went from 0.17 to 0.47 ms between two fresh processes of the
  // same kind), so the keys are spread over many short rounds.
  const int kKeysPerRound = 5;
  std::vector<double> keyFloor, keyHook;
  for (int round = 0; round < 2 * ((runs + kKeysPerRound - 1) / kKeysPerRound); ++round) {
    const bool hooked = (round % 4 == 1) || (round % 4 == 2);
    HANDLE taker = StartSelf(hooked ? L"holder" : L"plain");
    if (taker == nullptr || WaitForSingleObject(ready, 10000) != WAIT_OBJECT_0) {
      Kill(taker);
      continue;
    }
    HANDLE keyDown = OpenEventW(SYNCHRONIZE, FALSE, L"bench.key");
    for (int i = 0; keyDown != nullptr && i <= kKeysPerRound; ++i) {
      double t = Now();
      Tap('K');
      if (WaitForSingleObject(keyDown, 5000) == WAIT_OBJECT_0 && i > 0)
        (hooked ? keyHook : keyFloor).push_back(Now() - t);
    }
    if (keyDown != nullptr) CloseHandle(keyDown);
    Kill(taker);
  }

  printf("platform benchmark, %d runs each, medians (ms), warm Wine session\n", runs);
  printf("  broadcast to a reader in another process: %.3f  (floor, event ping-pong: %.3f; ratio %.2f)\n", Median(bus),
         Median(floor), Median(floor) > 0 ? Median(bus) / Median(floor) : 0.0);
  printf("  sender's own time: %.3f with no reader, %.3f with 1, %.3f with 8 (7 never reading)\n", Median(send0),
         Median(send1), Median(send8));
  printf("  key to WM_KEYDOWN through game input in another process: %.3f  (floor, plain window of another "
         "process: %.3f; %zu/%zu keys)\n",
         Median(keyHook), Median(keyFloor), keyHook.size(), keyFloor.size());
  char n[32];
  snprintf(n, sizeof(n), "%d", runs);
  const std::vector<double> none;
  rows::Row("power broadcast to reader in another process", bus, "ms", n, floor, rows::kRatio, "-", -1, "-");
  rows::Row("  floor: named-event ping-pong", floor, "ms", n, none, rows::kNone, "-", -1, "-");
  char keys[32];
  snprintf(keys, sizeof(keys), "%zu+%zu", keyHook.size(), keyFloor.size());
  rows::Row("key to WM_KEYDOWN through game input", keyHook, "ms", keys, keyFloor, rows::kRatio, "-", -1, "-");
  rows::Row("  floor: key to a plain window of another process", keyFloor, "ms", keys, none, rows::kNone, "-", -1, "-");
  return 0;
}
