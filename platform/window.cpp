// The CE form of the foreground call: a handle with its lowest bit set.
#include "platform/window.h"

BOOL SetForegroundWindowCe(HWND window) {
  HWND plain = reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(window) & ~static_cast<ULONG_PTR>(1));
  return SetForegroundWindow(plain);
}
