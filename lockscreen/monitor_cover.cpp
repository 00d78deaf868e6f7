// Black covers for every monitor but the face's. While the lock shows,
// each other monitor gets a black top-most window of the lock screen that
// takes no activation (a click does not bring it forward) and, as a tool
// window, has no taskbar button; nothing of the desktop shows there. The
// covers have no procedure of their own: the default one paints them with
// the class's black brush and ignores what they are sent. They belong to
// the window thread, so the system destroys them with the lock screen,
// whatever ends it. A display change (a monitor added, removed or changed)
// makes them again for the monitors there are now.
#include "lockscreen/lockscreen.h"
#include "lockscreen/monitors.h"

namespace {

const wchar_t kCoverClass[] = L"Ombrevale - Cover";
const int kMaxCovers = 16;  // monitors beyond these stay uncovered

HWND g_covers[kMaxCovers];
int g_coverCount = 0;
bool g_classRegistered = false;

BOOL CALLBACK CoverMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM faceMonitor) {
  MONITORINFO info;
  info.cbSize = sizeof(info);
  if (monitor == reinterpret_cast<HMONITOR>(faceMonitor) || !GetMonitorInfoW(monitor, &info)) return TRUE;
  if (g_coverCount >= kMaxCovers) return FALSE;
  const RECT& r = info.rcMonitor;
  HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverClass, L"",
                               WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                               nullptr, g_lockScreen.instance, nullptr);
  if (cover != nullptr) g_covers[g_coverCount++] = cover;
  return TRUE;
}

}  // namespace

void Covers_Remove(void) {
  for (int i = 0; i < g_coverCount; ++i) DestroyWindow(g_covers[i]);
  g_coverCount = 0;
}

void Covers_Show(HWND lockWindow) {
  if (!g_classRegistered) {
    WNDCLASSW wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = g_lockScreen.instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kCoverClass;
    g_classRegistered = RegisterClassW(&wc) != 0;
  }
  Covers_Remove();
  if (!g_classRegistered) return;
  HMONITOR face = MonitorFromWindow(lockWindow, MONITOR_DEFAULTTOPRIMARY);
  EnumDisplayMonitors(nullptr, nullptr, CoverMonitor, reinterpret_cast<LPARAM>(face));
}

void Covers_Raise(void) {
  for (int i = 0; i < g_coverCount; ++i)
    SetWindowPos(g_covers[i], HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}
