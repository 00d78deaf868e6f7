// The lock window's input half: the Talk/End pass-through during a call,
// the unlock decision (lockscreen/core/unlock_rules) and the wake that
// every other key causes.
#include "lockscreen/core/unlock_rules.h"
#include "lockscreen/lockscreen.h"
#include "platform/gameinput.h"
#include "platform/registry.h"
#include "shared/signals.h"

// Touched only by the window thread. The double-press memory starts empty
// with the program.
static unlock::State s_unlock;
static LONG s_keyDowns = 0;  // for the probe only

void Unlock_ClearHeld(void) {
  s_unlock.held1 = 0;
  s_unlock.held2 = 0;
}

// During a call the phone application needs the Talk and End keys: give
// input back, re-send the key marked as a pass-through, take input again.
static void PassCallKey(int32_t key) {
  DWORD calls = 0;
  if (FAILED(RegistryGetDWORD(HKEY_LOCAL_MACHINE, L"System\\State\\Phone", L"Active Call Count", &calls))) return;
  if (calls == 0) return;
  GXCloseInput();
  BYTE vk = static_cast<BYTE>(key & 0xFF);
  keybd_event(vk, 0, 0, GAMEINPUT_PASSTHROUGH_EXTRA);
  keybd_event(vk, 0, KEYEVENTF_KEYUP, GAMEINPUT_PASSTHROUGH_EXTRA);
  GXOpenInput();
}

// "End_Event" first, so that the service and every worker know the lock
// screen is ending before its window goes.
static void UnlockNow(HWND window) {
  MarkOrderlyEnd();
  SignalSet(g_lockScreen.endEvent);
  SendMessageW(window, WM_CLOSE, 0, 0);
}

void Unlock_WakeAndRefront(HWND window) {
  StartRefreshIfIdle();
  BringLockToFront(window, kFrontOnInput);
}

static unlock::Buttons CurrentButtons(void) {
  unlock::Buttons b;
  b.button1 = g_lockScreen.settings.Button_1;
  b.button2 = g_lockScreen.settings.Button_2;
  b.doubleClick = g_lockScreen.settings.DoubleClick;
  return b;
}

LONG Unlock_KeyDownsHandled(void) { return s_keyDowns; }
int Unlock_HeldFlags(void) { return (s_unlock.held1 ? 1 : 0) | (s_unlock.held2 ? 2 : 0); }

void Unlock_OnKeyDown(HWND window, WPARAM wParam) {
  ++s_keyDowns;
  int32_t key = unlock::KeyFromParam(static_cast<uint64_t>(wParam));
  // The pass-through never stops the key: Talk or End may be an unlock
  // button as well.
  if (unlock::IsCallKey(key)) PassCallKey(key);
  if (unlock::OnKeyDown(s_unlock, CurrentButtons(), key, GetTickCount()) == unlock::KeyDownResult::kUnlock) {
    UnlockNow(window);
    return;
  }
  Unlock_WakeAndRefront(window);
}

void Unlock_OnKeyUp(HWND, WPARAM wParam) {
  unlock::OnKeyUp(s_unlock, CurrentButtons(), unlock::KeyFromParam(static_cast<uint64_t>(wParam)));
}
