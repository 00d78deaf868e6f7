// The floor of the lock screen benchmark: a bare Win32 program that opens a
// full-screen black window, signals the end of its paint and waits to be
// closed. Corvane is measured against it in the same run.
//
// Built again with one of these defined, it carries one of the programs'
// costs alone, so that the benchmark shows what Wine itself charges for it.
// Each is a program of its own: it imports only the libraries of its cost
// (ole32 or comctl32 loaded for nothing would be counted as the cost).
//   FLOOR_PICTURE   (lockscreen_floor_picture /picture PATH) decodes PATH
//                   at its paint with the lock screen's own decoder
//                   (platform/image.cpp: WIC), draws it and holds it
//   FLOOR_THREAD    (lockscreen_floor_thread) starts one more thread after
//                   its paint, which gives its stack back as the lock
//                   screen's workers do, and waits
//   FLOOR_CONTROLS  (lockscreen_floor_controls) initialises the common
//                   controls and makes the fourteen controls of Tollwick's
//                   window, of the same classes and styles at the same
//                   places (config/core), at its creation
#include <windows.h>
// (commctrl.h needs windows.h first)
#include <commctrl.h>

#include <cwchar>

#include "config/core/controls.h"
#include "platform/image.h"
#include "platform/thread_stack.h"

#ifdef FLOOR_CONTROLS
// Tollwick's controls on `w`, laid out from its default font as Tollwick
// lays them out (the capture buttons with a key's caption).
static void MakeControls(HWND w) {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  HDC dc = GetDC(w);
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc, &tm);
  ReleaseDC(w, dc);
  RECT client;
  GetClientRect(w, &client);
  const layout::Metrics m = {client.left, client.top,       client.right, tm.tmHeight + tm.tmExternalLeading,
                             tm.tmHeight, tm.tmAveCharWidth};
  layout::Box boxes[layout::kControlCount];
  layout::PlaceControls(m, boxes);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HWND previous = nullptr;
  for (int i = 0; i < layout::kControlCount; ++i) {
    const controls::Definition& d = controls::kDefinitions[i];
    const layout::Box& b = boxes[i];
    previous = d.kind == controls::kUpDown
                   ? CreateUpDownControl(d.style, b.x, b.y, b.w, b.h, w, d.id, instance, previous, 0, 120, 8)
                   : CreateWindowExW(0, d.className, d.text != nullptr ? d.text : L"0x070", d.style, b.x, b.y, b.w, b.h,
                                     w, reinterpret_cast<HMENU>(static_cast<INT_PTR>(d.id)), instance, nullptr);
  }
}
#endif

#ifdef FLOOR_THREAD
static bool s_thread = true;

static DWORD WINAPI StackGivenBack(LPVOID started) {
  ThreadReleaseStack();
  SetEvent(static_cast<HANDLE>(started));
  Sleep(INFINITE);
  return 0;
}

// Once, at the first paint: the thread started (the paint's end is
// signalled after it gave its stack back).
static void PaintExtras(HDC) {
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

#ifdef FLOOR_PICTURE
static const wchar_t* s_picture = nullptr;
static HBITMAP s_bitmap = nullptr;

// At every paint: the picture decoded and drawn.
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
}
#endif

static LRESULT CALLBACK FloorProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
#ifdef FLOOR_CONTROLS
    case WM_CREATE: MakeControls(w); return 0;
#endif
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
#if defined(FLOOR_THREAD) || defined(FLOOR_PICTURE)
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
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(w, m, wp, lp);
  }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
#ifdef FLOOR_PICTURE
  for (int i = 1; i + 1 < __argc; ++i)
    if (wcscmp(__wargv[i], L"/picture") == 0) s_picture = __wargv[i + 1];
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
