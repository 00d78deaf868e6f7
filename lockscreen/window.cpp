// The lock window's procedure: a dispatch table. Each message goes to a
// short handler; the input rules live in unlock.cpp, the drawing in the
// painter. Every activation-like message wakes the refresh thread.
#include <windowsx.h>

#include "lockscreen/lockscreen.h"
#include "lockscreen/monitors.h"
#include "lockscreen/paint.h"
#include "lockscreen/resource.h"
#include "lockscreen/status.h"
#include "platform/fullscreen.h"
#include "platform/gameinput.h"
#include "platform/registry.h"
#include "platform/window.h"

// Shared by SHHandleWMActivate and SHHandleWMSettingChange.
static SHACTIVATEINFO s_activateInfo = {sizeof(SHACTIVATEINFO), nullptr, 0, 0, 0, 0};
// Key messages dropped because they were our own pass-through keys.
static volatile LONG s_passThroughIgnored = 0;
static volatile LONG s_paints = 0;  // for the probe only

ATOM RegisterLockClass(HINSTANCE instance, const wchar_t* className) {
  WNDCLASSW wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = LockWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_CORVANE));
  wc.hCursor = nullptr;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = className;
  return RegisterClassW(&wc);
}

// WM_ACTIVATE: repaint if another window took the activation, take the
// front back, wake, and keep the shell's activation record.
static void OnActivate(HWND window, WPARAM wParam, LPARAM lParam) {
  if (GetActiveWindow() != window) {
    RECT client;
    GetClientRect(window, &client);
    InvalidateRect(window, &client, TRUE);
  }
  BringLockToFront(window, kFrontOnActivate);
  StartRefreshIfIdle();
  SHHandleWMActivate(window, wParam, lParam, &s_activateInfo, 0);
}

// A monitor added, removed or changed: the face fills the primary monitor
// again and every other monitor is covered at once.
static void OnDisplayChange(HWND window) {
  BringLockToFront(window, kFrontOnDisplayChange);
  Covers_Show(window);
  PointerGuard_SetArea(window);
}

// The mouse wakes a dark lock screen as a key does. A move counts only when
// the pointer really moved: Windows also sends WM_MOUSEMOVE when a window
// appears or goes under a pointer that stands still.
static POINT s_pointer = {0, 0};

static void OnMouse(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_MOUSEMOVE) {
    POINT now = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    bool moved = now.x != s_pointer.x || now.y != s_pointer.y;
    s_pointer = now;
    if (!moved) return;
  }
  if (g_lockScreen.refreshRunning != 0) return;
  Display_WakeOnInput();
  Unlock_WakeAndRefront(window);
}

// What the workers ask of the window thread (a FrontWay, front.h). The
// covers stay above every other top-most window at each of them but the
// bare repaint.
static void OnRefront(HWND window, WPARAM way) {
  if (way != kFrontPaintNow) Covers_Raise();
  BringLockToFront(window, static_cast<FrontWay>(way));
}

static LRESULT OnProbe(WPARAM what) {
  switch (what) {
    case kProbeRegistryReads: return RegistryGetDWORDCount();
    case kProbeRefreshRunning: return g_lockScreen.refreshRunning;
    case kProbeBattery: {
      wchar_t text[32];
      int percent = 0;
      BOOL known = FALSE;
      Status_GetBattery(text, &percent, &known);
      return percent + (known ? 0x100 : 0);
    }
    case kProbePassThroughIgnored: return s_passThroughIgnored;
    case kProbeKeyDowns: return Unlock_KeyDownsHandled();
    case kProbeHeldFlags: return Unlock_HeldFlags();
    case kProbeTicks: return Refresh_TickCount();
    case kProbePaints: return s_paints;
    case kProbeBatteryText: {
      wchar_t text[32];
      Status_GetBattery(text, nullptr, nullptr);
      unsigned long long packed = 0;
      for (int i = 0; i < 8 && text[i] != L'\0'; ++i)
        packed |= static_cast<unsigned long long>(text[i] & 0x7F) << (8 * i);
      return static_cast<LRESULT>(packed);
    }
    case kProbeHookInstalls: return GameInputHookInstalls();
    case kProbeHook: return reinterpret_cast<LRESULT>(GameInputHook());
    case kProbeWorkers:
      return (g_lockScreen.appointmentsRunning ? 1 : 0) | (g_lockScreen.powerRunning ? 2 : 0) |
             (g_lockScreen.refreshRunning ? 4 : 0);
    case kProbeMonitorPower: return Display_Requests();
    default: return -1;
  }
}

// The Talk and End keys that a call lets through are re-sent with the
// pass-through mark. When no other program takes them (the phone
// application's hot key) they arrive here again as fresh key messages:
// taking them as key presses would pass them through once more, for ever.
static bool IsOwnPassThroughKey(void) {
  if (static_cast<ULONG_PTR>(GetMessageExtraInfo()) != GAMEINPUT_PASSTHROUGH_EXTRA) return false;
  InterlockedIncrement(&s_passThroughIgnored);
  return true;
}

LRESULT CALLBACK LockWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      Unlock_ClearHeld();
      Paint_OnCreate(window);
      GetCursorPos(&s_pointer);
      ScreenToClient(window, &s_pointer);
      return 0;
    case WM_DESTROY:
      Paint_OnDestroy(window);  // posts the quit message
      return 0;
    case WM_ACTIVATE: OnActivate(window, wParam, lParam); return 0;
    case WM_SETFOCUS: StartRefreshIfIdle(); return 0;
    case WM_ENABLE:
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGED: StartRefreshIfIdle(); return DefWindowProcW(window, message, wParam, lParam);
    case WM_PAINT:
      StartRefreshIfIdle();
      Paint_OnPaint(window);
      InterlockedIncrement(&s_paints);
      return 0;
    case WM_SETTINGCHANGE:
      StartRefreshIfIdle();
      SHHandleWMSettingChange(window, wParam, lParam, &s_activateInfo);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:  // Alt combinations arrive here; they are keys like any other
      if (IsOwnPassThroughKey()) return 0;
      Display_WakeOnInput();
      Unlock_OnKeyDown(window, wParam);
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (!IsOwnPassThroughKey()) Unlock_OnKeyUp(window, wParam);
      return 0;
    case WM_SYSCOMMAND:
      // Closing from the system menu or Alt+F4, or opening the menu with
      // Alt or F10, never ends or disturbs the lock screen.
      if ((wParam & 0xFFF0) == SC_CLOSE || (wParam & 0xFFF0) == SC_KEYMENU) return 0;
      // The PC's monitors are switched by the default handling.
      if ((wParam & 0xFFF0) == SC_MONITORPOWER) Display_CountRequest(lParam);
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MOUSEWHEEL: OnMouse(window, message, lParam); return 0;
    case WM_DISPLAYCHANGE: OnDisplayChange(window); return 0;
    case WM_HIBERNATE: Paint_OnHibernate(); return 1;
    case WM_LOCK_REFRONT: OnRefront(window, wParam); return 0;
    case WM_LOCK_PROBE: return OnProbe(wParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}
