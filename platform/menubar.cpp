// The Pocket PC dialog sizing and two-key menu bar on the desktop.
//
// SHInitDialog with a full-screen flag turns the window into what a Pocket
// PC dialog is: no caption, no frame, as wide and as high as the screen
// the shell leaves to programs. A desktop top-level window without
// WS_POPUP always gets a caption at creation, so the stand-in strips it
// afterwards. On the desktop that screen is the work area of the window's
// monitor: a taskbar never covers the dialog or its bar.
//
// SHCreateMenuBar builds a real bar window from the menu-bar resource (an
// RCDATA of 16-bit words: menu id, button count, then seven words per
// button: image, command, state, style, string id, 0, submenu). It is a
// top-level popup owned by the parent, so it sits above the parent at the
// bottom of the work area and goes away with it; each button posts
// WM_COMMAND with its command (notification 0) to the parent. The caller
// reads the bar's window rectangle to shorten its own window.
#include "platform/menubar.h"

namespace {

const wchar_t kBarClass[] = L"OV_MENUBAR";
const int kBarHeight = 26;  // a Pocket PC menu bar at 96 dpi
const int kMaxBarButtons = 4;
const int kWordsPerButton = 7;
const int kTextUnits = 64;

LRESULT CALLBACK MenuBarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      // A click on one of the bar's buttons becomes the command at the
      // parent. Posted, not sent: the parent may destroy itself (and with
      // it this bar) while handling it.
      if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        HWND owner = GetWindow(bar, GW_OWNER);
        if (owner != nullptr)
          PostMessageW(owner, WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), reinterpret_cast<LPARAM>(bar));
      }
      return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;  // tapping the bar leaves the parent active
    default: return DefWindowProcW(bar, msg, wParam, lParam);
  }
}

bool RegisterBarClass(HINSTANCE instance) {
  WNDCLASSW existing;
  if (GetClassInfoW(instance, kBarClass, &existing)) return true;
  WNDCLASSW wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.lpfnWndProc = MenuBarProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kBarClass;
  return RegisterClassW(&wc) != 0;
}

struct BarButton {
  WORD command;
  WORD stringId;
};

// Reads the resource's buttons; the count is bounded by the data actually
// present and by kMaxBarButtons. Returns the number read, -1 when the
// resource is missing or malformed.
int ReadBarResource(HINSTANCE instance, UINT id, BarButton out[kMaxBarButtons]) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (found == nullptr) return -1;
  HGLOBAL loaded = LoadResource(instance, found);
  if (loaded == nullptr) return -1;
  const WORD* words = static_cast<const WORD*>(LockResource(loaded));
  DWORD units = SizeofResource(instance, found) / sizeof(WORD);
  if (words == nullptr || units < 2) return -1;
  DWORD count = words[1];
  if (count > kMaxBarButtons || 2 + count * kWordsPerButton > units) return -1;
  for (DWORD i = 0; i < count; ++i) {
    const WORD* b = words + 2 + i * kWordsPerButton;
    out[i].command = b[1];
    out[i].stringId = b[4];
  }
  return static_cast<int>(count);
}

// The work area of the monitor that holds `window`.
RECT WorkAreaOf(HWND window) {
  MONITORINFO mi;
  ZeroMemory(&mi, sizeof(mi));
  mi.cbSize = sizeof(mi);
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &mi)) return mi.rcWork;
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

BOOL SHInitDialog(PSHINITDLGINFO info) {
  if (info == nullptr || (info->dwMask & SHIDIM_FLAGS) == 0 || !IsWindow(info->hDlg)) return FALSE;
  if ((info->dwFlags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)) == 0) return TRUE;
  HWND w = info->hDlg;
  LONG style = GetWindowLongW(w, GWL_STYLE);
  style &= ~static_cast<LONG>(WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX);
  SetWindowLongW(w, GWL_STYLE, style);
  LONG ex = GetWindowLongW(w, GWL_EXSTYLE);
  ex &= ~static_cast<LONG>(WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE);
  SetWindowLongW(w, GWL_EXSTYLE, ex);
  const RECT work = WorkAreaOf(w);
  SetWindowPos(w, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return TRUE;
}

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
  if (info == nullptr || info->hwndParent == nullptr) return FALSE;
  info->hwndMB = nullptr;
  HINSTANCE res = info->hInstRes;
  BarButton buttons[kMaxBarButtons];
  int count = ReadBarResource(res, info->nToolBarId, buttons);
  if (count < 0) return FALSE;
  HINSTANCE self = GetModuleHandleW(nullptr);
  if (!RegisterBarClass(self)) return FALSE;
  const RECT work = WorkAreaOf(info->hwndParent);
  const int cx = work.right - work.left;
  HWND bar = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kBarClass, L"", WS_POPUP | WS_VISIBLE, work.left,
                             work.bottom - kBarHeight, cx, kBarHeight, info->hwndParent, nullptr, self, nullptr);
  if (bar == nullptr) return FALSE;
  for (int i = 0; i < count; ++i) {
    wchar_t text[kTextUnits];
    if (LoadStringW(res, buttons[i].stringId, text, kTextUnits) <= 0) text[0] = L'\0';
    const int left = cx * i / count;
    const int right = cx * (i + 1) / count;
    CreateWindowExW(0, L"button", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, left, 0, right - left, kBarHeight, bar,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(buttons[i].command)), self, nullptr);
  }
  info->hwndMB = bar;
  return TRUE;
}
