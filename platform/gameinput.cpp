// Game input on the desktop: one input thread per process owns a low-level
// keyboard hook for the process's life and hands the keys to the target
// window (see gameinput.h). The public calls only change flags the hook
// reads, so they are cheap, idempotent and safe from any thread; the hook
// runs on the input thread, which does nothing but pump its messages.
//
// Windows removes a low-level hook silently when it is too slow
// (LowLevelHooksTimeout), and says nothing when one cannot be installed.
// So the hook procedure decides from memory only and posts: no registry,
// no file, no call into another process (the display wake that a key
// causes is done by the input thread afterwards). And the hook is not
// trusted to stay: each GXOpenInput and GXResume has the input thread
// install a fresh hook before it removes the old one (no moment without
// one), so a hook that was removed is back at the next key or refresh
// period.
#include "platform/gameinput.h"

#include "platform/core/game_keys.h"
#include "platform/device_state.h"
#include "platform/display.h"
#include "platform/thread_stack.h"

namespace {

volatile LONG g_open = 0;
volatile LONG g_mode = GAMEINPUT_EXCLUSIVE;
HWND volatile g_target = nullptr;
HHOOK volatile g_hook = nullptr;  // written on the input thread only
BYTE g_down[256];                 // key-down state of the keys taken (input thread)
INIT_ONCE g_startOnce = INIT_ONCE_STATIC_INIT;
DWORD g_inputThreadId = 0;
HANDLE g_hookDone = nullptr;  // set after each (re)install attempt
volatile LONG g_hookInstalls = 0;
const DWORD kStartWaitMs = 5000;
// Thread messages of the input thread.
const UINT kMsgRehook = WM_APP + 1;   // install the hook afresh
const UINT kMsgKeySeen = WM_APP + 2;  // a key came: wake a dark display

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
  // Keys wake a dark display, as the device's power manager does: the
  // recorded state lives in the registry, so the input thread looks at it
  // once this key has been handled.
  PostThreadMessageW(g_inputThreadId, kMsgKeySeen, 0, 0);
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

// A new hook first, then the old one goes: keys are never without one.
// A failed install keeps the old hook (which may or may not still be
// there); the next request tries again.
void Rehook() {
  // A system that refuses the hook, played by the device tool's count
  // "HookRefusals" (read here, on the input thread, never in the hook).
  DWORD refusals = 0;
  if (DeviceSimulatedDword(L"HookRefusals", &refusals) && refusals > 0) {
    DeviceWriteDword(L"HookRefusals", refusals - 1);
    SetEvent(g_hookDone);
    return;
  }
  HHOOK fresh = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleW(nullptr), 0);
  if (fresh != nullptr) {
    HHOOK old = g_hook;
    g_hook = fresh;
    InterlockedIncrement(&g_hookInstalls);
    if (old != nullptr) UnhookWindowsHookEx(old);  // FALSE when the system had removed it already
  }
  SetEvent(g_hookDone);
}

DWORD WINAPI InputThread(LPVOID started) {
  ThreadReleaseStack();
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // give the thread its queue
  Rehook();
  SetEvent(static_cast<HANDLE>(started));
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == nullptr && msg.message == kMsgRehook) {
      Rehook();
    } else if (msg.hwnd == nullptr && msg.message == kMsgKeySeen) {
      if (!DeviceDisplayIsOn()) DeviceSetDisplayOn(1);
    } else {
      DispatchMessageW(&msg);
    }
  }
  return 0;
}

BOOL CALLBACK StartInputThread(PINIT_ONCE, PVOID, PVOID*) {
  g_hookDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (started == nullptr || g_hookDone == nullptr) return TRUE;
  HANDLE thread = CreateThread(nullptr, 0, InputThread, started, 0, &g_inputThreadId);
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

// Asks the input thread for a fresh hook; with `waitMs` waits for the
// attempt. TRUE when a hook is in place afterwards.
bool RequestHook(DWORD waitMs) {
  EnsureInputThread();
  if (g_inputThreadId == 0 || !PostThreadMessageW(g_inputThreadId, kMsgRehook, 0, 0)) return g_hook != nullptr;
  if (waitMs != 0 && g_hookDone != nullptr) WaitForSingleObject(g_hookDone, waitMs);
  return g_hook != nullptr;
}

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
  InterlockedExchange(&g_open, 1);
  // 0 when no hook could be installed: the keys are not held.
  if (!RequestHook(kStartWaitMs)) return 0;
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
  // A hook the system removed is replaced; the caller does not wait.
  bool hooked = RequestHook(0);
  if (hooked && g_open != 0) RecordOwner(true);
  return hooked ? 1 : 0;
}

LONG GameInputHookInstalls(void) { return g_hookInstalls; }
HHOOK GameInputHook(void) { return g_hook; }

void GameInputSetTarget(HWND window) {
  g_target = window;
  EnsureInputThread();
}

void GameInputSetMode(int mode) {
  InterlockedExchange(&g_mode, mode == GAMEINPUT_FOREGROUND_ONLY ? GAMEINPUT_FOREGROUND_ONLY : GAMEINPUT_EXCLUSIVE);
  EnsureInputThread();
}
