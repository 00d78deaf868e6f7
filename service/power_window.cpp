// The service's power window: a hidden top-level window on a thread of its
// own (message-only windows get no power broadcasts) that turns the PC's
// suspend, resume and power-status broadcasts and its console display
// notifications into the records of the device's power manager. They go
// out on the power bus like the device tool's, so the service's own pass
// and a showing lock screen's power thread hear them alike.
//
// Windows suspends as soon as the suspend broadcast has been answered. The
// answer waits until the lock window has painted (bounded), as a Linux
// locker holds its delay inhibitor until its window is up: on resume the
// face shows, never the desktop.
#include <cstring>

#include "platform/power.h"
#include "platform/thread_stack.h"
#include "service/core/broadcast_rules.h"
#include "service/core/power_notice.h"
#include "service/hushpane.h"
#include "shared/lock_window.h"
#include "shared/signals.h"

namespace {

// The longest a suspend is held for the lock window's first paint. A lock
// screen that cannot show (the "No buttons" box) must not keep the PC awake.
constexpr DWORD kSuspendHoldMs = 2000;
constexpr DWORD kPaintPollMs = 20;
constexpr DWORD kProbeWaitMs = 500;
constexpr DWORD kThreadWaitMs = 5000;
const wchar_t kClassName[] = L"Ombrevale - Hushpane_Power";

// GUID_CONSOLE_DISPLAY_STATE (Windows 8 on) and GUID_MONITOR_POWER_ON (what
// Windows 7 has).
const GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
const GUID kMonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

HANDLE g_thread = nullptr;
HANDLE g_ready = nullptr;
HWND g_window = nullptr;
HPOWERNOTIFY g_displayNotice = nullptr;

bool LockWindowPainted() {
  HWND lock = FindWindowW(kLockWindowClass, kLockWindowTitle);
  if (lock == nullptr || !IsWindowVisible(lock)) return false;
  DWORD_PTR paints = 0;
  if (!SendMessageTimeoutW(lock, WM_LOCK_PROBE, kProbePaints, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, kProbeWaitMs, &paints))
    return false;
  return static_cast<LONG_PTR>(paints) > 0;
}

void HoldUntilLockPainted() {
  DWORD start = GetTickCount();
  while (!LockWindowPainted() && GetTickCount() - start < kSuspendHoldMs) Sleep(kPaintPollMs);
}

void Deliver(service::PowerNotice notice) {
  service::PowerRecord record;
  if (!service::RecordOfNotice(notice, &record)) return;
  SendPowerBroadcast(&record, sizeof(record));
  service::BroadcastMeaning meaning = service::InterpretFlags(record.message, record.flags);
  if (meaning != service::kLock) return;
  // A service that could not make its power queue hears no record: the
  // lock is asked for directly. (A pointer-sized read of the main thread's
  // handle; at worst one extra request, which only re-arms.)
  if (g_service.powerQueue == nullptr) SignalSet(g_service.activateEvent);
  if (notice == service::kNoticeSuspend) HoldUntilLockPainted();
}

// PBT_POWERSETTINGCHANGE: lParam points at a POWERBROADCAST_SETTING in this
// process; it is read here and handed on as the display notice.
void OnPowerSetting(LPARAM lParam) {
  const POWERBROADCAST_SETTING* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
  if (setting == nullptr || setting->DataLength < sizeof(DWORD)) return;
  DWORD value = 0;
  std::memcpy(&value, setting->Data, sizeof(value));
  if (IsEqualGUID(setting->PowerSetting, kConsoleDisplayState))
    Deliver(service::NoticeOfDisplay(service::kConsoleDisplayState, value));
  else if (IsEqualGUID(setting->PowerSetting, kMonitorPowerOn))
    Deliver(service::NoticeOfDisplay(service::kMonitorPowerOn, value));
}

LRESULT CALLBACK PowerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_POWERBROADCAST:
      if (wParam == PBT_POWERSETTINGCHANGE) OnPowerSetting(lParam);
      else Deliver(service::NoticeOfBroadcast(static_cast<uint32_t>(wParam)));
      return TRUE;
    case service::kDisplayNoticeMessage:
      Deliver(service::NoticeOfDisplay(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam)));
      return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

DWORD WINAPI PowerWindowThread(LPVOID) {
  ThreadReleaseStack();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.lpfnWndProc = PowerWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);
  // Never shown: a tool window that is not visible has no taskbar button.
  g_window =
      CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (g_window != nullptr) {
    g_displayNotice = RegisterPowerSettingNotification(g_window, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (g_displayNotice == nullptr)
      g_displayNotice = RegisterPowerSettingNotification(g_window, &kMonitorPowerOn, DEVICE_NOTIFY_WINDOW_HANDLE);
  }
  SetEvent(g_ready);
  if (g_window != nullptr) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  }
  if (g_displayNotice != nullptr) UnregisterPowerSettingNotification(g_displayNotice);
  g_displayNotice = nullptr;
  g_window = nullptr;
  UnregisterClassW(kClassName, instance);
  return 0;
}

}  // namespace

void StartPowerWindow() {
  g_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (g_ready == nullptr) return;
  // Not waited for: the first pass begins at once, as it always has (a
  // first window can take a while to make), and the window is there a
  // moment later.
  g_thread = CreateThread(nullptr, 0, PowerWindowThread, nullptr, 0, nullptr);
}

void StopPowerWindow() {
  if (g_thread != nullptr) {
    WaitForSingleObject(g_ready, kThreadWaitMs);  // the window made, or never to be
    if (g_window != nullptr) PostMessageW(g_window, WM_CLOSE, 0, 0);
    WaitForSingleObject(g_thread, kThreadWaitMs);
    CloseHandle(g_thread);
  }
  if (g_ready != nullptr) CloseHandle(g_ready);
  g_thread = g_ready = nullptr;
}
