// Tollwick, the configuration program: start-up, message loop and end.
// A second copy only brings the first one forward. The exit step runs on
// every normal end, after "Ok" and after "Cancel" alike, with the AutoRun
// value the check box left in memory.
#include <windows.h>
#include <commctrl.h>

#include "config/resource.h"
#include "config/tollwick.h"
#include "platform/window.h"
#include "platform/gameinput.h"
#include "shared/settings.h"

settings::ConfigSettings g_record;
HINSTANCE g_instance = nullptr;
HWND g_window = nullptr;
HWND g_menuBar = nullptr;
layout::Metrics g_metrics = {0, 0, 0, 0, 0, 0};
HWND g_controls[layout::kControlCount] = {};
capture::State g_capture;

namespace {

const int kTextUnits = 100;

// The menu bar covers the bottom of the screen: the window ends above it.
void ShortenByMenuBar() {
  RECT win, bar;
  GetWindowRect(g_window, &win);
  GetWindowRect(g_menuBar, &bar);
  win.bottom -= bar.bottom - bar.top;
  MoveWindow(g_window, win.left, win.top, win.right - win.left, win.bottom - win.top, FALSE);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  g_instance = instance;
  // The shell's extra controls: on the desktop the common controls that
  // hold the up-down class.
  INITCOMMONCONTROLSEX icc;
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);

  wchar_t title[kTextUnits], className[kTextUnits];
  if (LoadStringW(instance, IDS_TITLE, title, kTextUnits) <= 0) title[0] = L'\0';
  if (LoadStringW(instance, IDS_CLASS, className, kTextUnits) <= 0) className[0] = L'\0';

  HWND existing = FindWindowW(className, title);
  if (existing != nullptr) {
    SetForegroundWindowCe(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(existing) | 1));
    return 0;
  }

  WNDCLASSW wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ConfigWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TOLLWICK));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = className;
  if (RegisterClassW(&wc) == 0) return 0;

  LoadConfigSettings(&g_record);

  HWND window = CreateWindowExW(0, className, title, WS_VISIBLE | WS_TABSTOP, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 0;
  g_window = window;
  if (g_menuBar != nullptr) ShortenByMenuBar();
  ShowWindow(window, show);
  UpdateWindow(window);

  // Hardware buttons reach this window only while it is in front and holds
  // the focus itself: other programs and the number fields keep their keys.
  GameInputSetMode(GAMEINPUT_FOREGROUND_ONLY);
  GameInputSetTarget(window);
  GXOpenInput();

  MSG msg;
  msg.wParam = 0;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }

  GXCloseInput();
  ExitStep(g_record.AutoRun);
  return static_cast<int>(msg.wParam);
}
