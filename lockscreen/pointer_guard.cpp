// Keeps the pointer on the lock window's monitor and every click and wheel
// turn away from the other monitors, with a low-level mouse hook on a
// thread of its own: a mouse event whose point lies outside the lock
// window goes nowhere (a move that would leave does not happen). A hook,
// unlike ClipCursor (whose confinement outlives a killed process), is
// removed by the system with the process, so a lock screen that is killed
// or crashes leaves the pointer free. The hook decides from memory alone,
// so that it never misses the system's hook time-out.
#include "lockscreen/lockscreen.h"
#include "lockscreen/monitors.h"
#include "platform/thread_stack.h"

namespace {

const DWORD kThreadWaitMs = 5000;

SRWLOCK g_areaLock = SRWLOCK_INIT;
RECT g_area = {0, 0, 0, 0};  // the lock window, in screen coordinates
HANDLE g_thread = nullptr;
HANDLE g_ready = nullptr;
HHOOK g_hook = nullptr;

LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const MSLLHOOKSTRUCT* m = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    AcquireSRWLockShared(&g_areaLock);
    RECT area = g_area;
    ReleaseSRWLockShared(&g_areaLock);
    if (!IsRectEmpty(&area) && !PtInRect(&area, m->pt)) return 1;
  }
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

DWORD WINAPI GuardThread(LPVOID) {
  ThreadReleaseStack();
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue that the quit message needs
  g_hook = SetWindowsHookExW(WH_MOUSE_LL, MouseHook, GetModuleHandleW(nullptr), 0);
  SetEvent(g_ready);
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  if (g_hook != nullptr) UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
  return 0;
}

}  // namespace

void PointerGuard_SetArea(HWND lockWindow) {
  RECT area;
  if (!GetWindowRect(lockWindow, &area)) return;
  AcquireSRWLockExclusive(&g_areaLock);
  g_area = area;
  ReleaseSRWLockExclusive(&g_areaLock);
  // A pointer left outside could never come back: every move from there
  // would leave the area. It is brought to the middle of the face.
  POINT pointer;
  if (GetCursorPos(&pointer) && !PtInRect(&area, pointer))
    SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
}

void PointerGuard_Start(HWND lockWindow) {
  PointerGuard_SetArea(lockWindow);
  if (g_thread != nullptr) return;
  g_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (g_ready == nullptr) return;
  g_thread = CreateThread(nullptr, 0, GuardThread, nullptr, 0, nullptr);
  if (g_thread != nullptr) WaitForSingleObject(g_ready, kThreadWaitMs);
}

void PointerGuard_Stop(void) {
  if (g_thread != nullptr) {
    PostThreadMessageW(GetThreadId(g_thread), WM_QUIT, 0, 0);
    WaitForSingleObject(g_thread, kThreadWaitMs);
    CloseHandle(g_thread);
  }
  if (g_ready != nullptr) CloseHandle(g_ready);
  g_thread = g_ready = nullptr;
  AcquireSRWLockExclusive(&g_areaLock);
  SetRectEmpty(&g_area);
  ReleaseSRWLockExclusive(&g_areaLock);
}
