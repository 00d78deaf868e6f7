// Game input on the desktop: one input thread per process owns a low-level
// keyboard hook for the process's life and hands the keys to the target
// window (see gameinput.h). The public calls only change flags the hook
// reads, so they are cheap, idempotent and safe from any thread; the hook
// runs on the input thread, which does nothing but pump its messages.
#include "platform/gameinput.h"

#include "platform/core/game_keys.h"
#include "platform/device_state.h"
#include "platform/power.h"

namespace {

volatile LONG g_open = 0;
volatile LONG g_mode = GAMEINPUT_EXCLUSIVE;
HWND volatile g_target = nullptr;
HHOOK g_hook = nullptr;          // written and used on the input thread only
BYTE g_down[256];                // key-down state of the keys taken (input thread)
INIT_ONCE g_startOnce = INIT_ONCE_STATIC_INIT;
const DWORD kStartWaitMs = 5000;

// The target window: the one set, or this process's foreground window.
HWND CurrentTarget() {
  HWND t = g_target;
  if (t != nullptr) return IsWindow(t) ? t : nullptr;
  HWND fg = GetForegroundWindow();
  DWORD pid = 0;
  if (fg != nullptr && GetWindowThreadProcessId(fg, &pid) && pid == GetCurrentProcessId()) return fg;
  return nullptr;
}

bool TargetHasFocus(HWND target) {
  GUITHREADINFO info;
  info.cbSize = sizeof(info);
  DWORD thread = GetWindowThreadProcessId(target, nullptr);
  if (!GetGUIThreadInfo(thread, &info)) return false;
  return info.hwndFocus == target;
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code != HC_ACTION) return CallNextHookEx(g_hook, code, wParam, lParam);
  const KBDLLHOOKSTRUCT* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  // Keys wake a dark display, as the device's power manager does.
  if (!DeviceDisplayIsOn()) DeviceSetDisplayOn(1);
  HWND target = CurrentTarget();
  gamekeys::Situation s{};
  s.mode = g_mode;
  s.open = g_open != 0;
  s.targetValid = target != nullptr;
  s.passThrough = k->dwExtraInfo == GAMEINPUT_PASSTHROUGH_EXTRA;
  if (s.open && s.targetValid && s.mode == gamekeys::kForegroundOnly) {
    s.targetForeground = GetForegroundWindow() == target;
    s.targetHasFocus = s.targetForeground && TargetHasFocus(target);
  }
  if (!gamekeys::Route(s)) return CallNextHookEx(g_hook, code, wParam, lParam);
  bool up = (k->flags & LLKHF_UP) != 0;
  bool extended = (k->flags & LLKHF_EXTENDED) != 0;
  BYTE vk = static_cast<BYTE>(gamekeys::SideSpecificVk(k->vkCode & 0xFF, k->scanCode, extended));
  bool wasDown = g_down[vk] != 0;
  g_down[vk] = up ? 0 : 1;
  LPARAM lp = static_cast<LPARAM>(gamekeys::KeyLParam(k->scanCode, extended, up, wasDown));
  PostMessageW(target, up ? WM_KEYUP : WM_KEYDOWN, static_cast<WPARAM>(vk), lp);
  return 1;  // taken: no other window or hot key sees it
}

DWORD WINAPI InputThread(LPVOID started) {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // give the thread its queue
  g_hook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleW(nullptr), 0);
  SetEvent(static_cast<HANDLE>(started));
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

BOOL CALLBACK StartInputThread(PINIT_ONCE, PVOID, PVOID*) {
  HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (started == nullptr) return TRUE;
  HANDLE thread = CreateThread(nullptr, 0, InputThread, started, 0, nullptr);
  if (thread != nullptr) {
    bool ready = WaitForSingleObject(started, kStartWaitMs) == WAIT_OBJECT_0;
    CloseHandle(thread);  // the thread runs for the process's life
    // Not ready in time: the event stays open for the thread's late start.
    if (ready) CloseHandle(started);
  } else {
    CloseHandle(started);
  }
  return TRUE;
}

void EnsureInputThread() { InitOnceExecuteOnce(&g_startOnce, StartInputThread, nullptr, nullptr); }

}  // namespace

// Records which process holds input ("GameInputOwner"), so that a test can
// wait until keys are taken before it presses them: a key pressed before
// the hook exists goes wherever the focus is at that moment.
static void RecordOwner(bool open) {
  DWORD self = GetCurrentProcessId(), owner = 0;
  if (open) {
    if (!DeviceReadDword(L"GameInputOwner", &owner) || owner != self) DeviceWriteDword(L"GameInputOwner", self);
  } else if (DeviceReadDword(L"GameInputOwner", &owner) && owner == self) {
    DeviceWriteDword(L"GameInputOwner", 0);
  }
}

int GXOpenInput(void) {
  EnsureInputThread();
  InterlockedExchange(&g_open, 1);
  RecordOwner(true);
  return 1;
}

int GXCloseInput(void) {
  EnsureInputThread();
  InterlockedExchange(&g_open, 0);
  RecordOwner(false);
  return 1;
}

int GXResume(void) {
  // The hook stays installed for the process's life: resuming only makes
  // sure the thread is there.
  EnsureInputThread();
  return 1;
}

void GameInputSetTarget(HWND window) {
  g_target = window;
  EnsureInputThread();
}

void GameInputSetMode(int mode) {
  InterlockedExchange(&g_mode, mode == GAMEINPUT_FOREGROUND_ONLY ? GAMEINPUT_FOREGROUND_ONLY : GAMEINPUT_EXCLUSIVE);
  EnsureInputThread();
}
