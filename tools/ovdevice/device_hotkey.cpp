// Device tool: a hot-key peer, the stand-in of a phone application that
// owns a key through RegisterHotKey. Tests run it beside the lock screen to
// prove that a taken key never reaches it, and that a passed-through key
// reaches it exactly once. Every hit is printed and stored in the registry
// (HKCU "Software\Ombrevale\Device" "HotkeyHits", written as 0 once the
// hot key is registered).
#include <stdio.h>

#include "platform/core/device_words.h"
#include "platform/device_state.h"
#include "tools/ovdevice/ovdevice.h"

static const int kHotkeyId = 1;
static const UINT_PTR kEndTimer = 1;

static UINT g_vk = 0;
static int g_hits = 0;

static LRESULT CALLBACK HotkeyWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_HOTKEY:
      ++g_hits;
      DeviceWriteDword(L"HotkeyHits", static_cast<DWORD>(g_hits));
      printf("hotkey %02X %d\n", g_vk, g_hits);
      fflush(stdout);
      return 0;
    case WM_TIMER:
      if (wParam == kEndTimer) PostQuitMessage(0);
      return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

int CommandHotkey(int argc, wchar_t** argv) {
  uint32_t vk = 0, seconds = 0, modifiers = 0;
  if (argc < 2 || argc > 3) return kExitUsage;
  if (!devicewords::ParseHex32(argv[0], &vk) || vk == 0 || vk > 0xFE) return kExitUsage;
  if (!devicewords::ParseDecimal(argv[1], 86400, &seconds)) return kExitUsage;
  if (argc == 3 && (!devicewords::ParseHex32(argv[2], &modifiers) || modifiers > 0xF)) return kExitUsage;
  g_vk = vk;
  // The count appears (as 0) only once the hot key is registered: a test
  // waits for it before pressing the key.
  DeviceDeleteValue(L"HotkeyHits");
  WNDCLASSW wc = {};
  wc.lpfnWndProc = HotkeyWindow;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"OvDeviceHotkey";
  RegisterClassW(&wc);
  // Never shown: the hot key needs a window to post to, nothing more.
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"ovdevice hotkey", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                wc.hInstance, nullptr);
  if (window == nullptr || !RegisterHotKey(window, kHotkeyId, modifiers, vk)) {
    printf("hotkey failed\n");
    if (window != nullptr) DestroyWindow(window);
    return kExitFailed;
  }
  DeviceWriteDword(L"HotkeyHits", 0);
  printf("hotkey %02X ready\n", g_vk);
  fflush(stdout);
  SetTimer(window, kEndTimer, seconds * 1000, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  UnregisterHotKey(window, kHotkeyId);
  KillTimer(window, kEndTimer);
  DestroyWindow(window);
  return kExitDone;
}
