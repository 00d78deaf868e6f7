// The floor of the lock screen benchmark: a bare Win32 program that opens a
// full-screen black window, signals the end of its paint and waits to be
// closed. Corvane is measured against it in the same run.
//
// Built a second time with FLOOR_EXTRAS (lockscreen_floor_extras.exe), it
// can carry one of the lock screen's costs alone, so that the benchmark
// shows what Wine itself charges for it:
//   /picture PATH  decodes PATH at its paint with the lock screen's own
//                  decoder (platform/image.cpp: WIC), draws it and holds it
//   /thread        starts one more thread after its paint, which gives its
//                  stack back as the lock screen's workers do, and waits
#include <windows.h>

#include <cwchar>

#ifdef FLOOR_EXTRAS
#include "platform/events.h"
#include "platform/image.h"

static const wchar_t* s_picture = nullptr;
static HBITMAP s_bitmap = nullptr;
static bool s_thread = false;

static DWORD WINAPI StackGivenBack(LPVOID started) {
  ThreadReleaseStack();
  SetEvent(static_cast<HANDLE>(started));
  Sleep(INFINITE);
  return 0;
}

// The extras of one paint: the picture decoded and drawn, or, once, the
// thread started (the paint's end is signalled after it gave its stack back).
static void PaintExtras(HDC dc) {
  if (s_picture != nullptr) {
    if (s_bitmap != nullptr) DeleteObject(s_bitmap);
    s_bitmap = SHLoadImageFile(s_picture);
    BITMAP info = {};
    HDC memory = s_bitmap != nullptr ? CreateCompatibleDC(dc) : nullptr;
    if (memory != nullptr && GetObjectW(s_bitmap, sizeof(info), &info) != 0) {
      HGDIOBJ old = SelectObject(memory, s_bitmap);
      BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
    }
    if (memory != nullptr) DeleteDC(memory);
  }
  if (s_thread) {
    s_thread = false;
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, StackGivenBack, started, 0, nullptr);
    if (thread != nullptr) {
      WaitForSingleObject(started, 5000);
      CloseHandle(thread);
    }
    CloseHandle(started);
  }
}
#endif

static LRESULT CALLBACK FloorProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
#ifdef FLOOR_EXTRAS
      PaintExtras(dc);
#else
      (void)dc;
#endif
      EndPaint(w, &ps);
      // The benchmark waits for this: the end of the first paint.
      if (HANDLE painted = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"LockFloorPainted")) {
        SetEvent(painted);
        CloseHandle(painted);
      }
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(w, m, wp, lp);
  }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
#ifdef FLOOR_EXTRAS
  for (int i = 1; i < __argc; ++i) {
    if (wcscmp(__wargv[i], L"/picture") == 0 && i + 1 < __argc) s_picture = __wargv[++i];
    if (wcscmp(__wargv[i], L"/thread") == 0) s_thread = true;
  }
#endif
  WNDCLASSW wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = FloorProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = L"LockFloor";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"floor", WS_POPUP | WS_VISIBLE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance,
                           nullptr);
  ShowWindow(w, SW_SHOWNORMAL);
  SetForegroundWindow(w);
  UpdateWindow(w);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
