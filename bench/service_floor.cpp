// The floor of the service's memory: a program that does nothing but make a
// hidden top-level window on a thread of its own, as the service makes its
// power window (the thread gives its stack back as the service's do), and
// waits. Its main thread waits for that thread. The window's first message
// loads Wine's window machinery (the X11 driver and its libraries, fonts,
// the theme), which a program without a window does not pay. Sets
// "ServiceFloorReady" once the window exists; ends at WM_CLOSE.
#include <windows.h>

#include "platform/thread_stack.h"

static LRESULT CALLBACK FloorProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(w, m, wp, lp);
}

static DWORD WINAPI WindowThread(LPVOID) {
  ThreadReleaseStack();
  WNDCLASSW wc = {};
  wc.lpfnWndProc = FloorProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ServiceFloor";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           wc.hInstance, nullptr);
  if (HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"ServiceFloorReady")) {
    SetEvent(ready);
    CloseHandle(ready);
  }
  MSG msg;
  while (w != nullptr && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  HANDLE thread = CreateThread(nullptr, 0, WindowThread, nullptr, 0, nullptr);
  if (thread == nullptr) return 1;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return 0;
}
