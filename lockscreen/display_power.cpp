// The display power switch: ask the display driver whether it knows the
// power-management escape, and if so set the display on or off with the
// 12-byte VIDEO_POWER_MANAGEMENT record. A driver without the escape
// leaves the display as it is.
#include "lockscreen/lockscreen.h"
#include "platform/power.h"

#ifndef QUERYESCSUPPORT
#define QUERYESCSUPPORT 8
#endif

void DisplayPowerSwitch(BOOL on) {
  HDC screen = GetDC(nullptr);
  DWORD escape = SETPOWERMANAGEMENT;
  if (DisplayExtEscape(screen, QUERYESCSUPPORT, sizeof(escape), reinterpret_cast<const char*>(&escape), 0,
                       nullptr) > 0) {
    VIDEO_POWER_MANAGEMENT_CE vpm;
    vpm.Length = sizeof(vpm);  // 12
    vpm.DPMSVersion = 1;
    vpm.PowerState = on ? VideoPowerOn : VideoPowerOff;
    DisplayExtEscape(screen, SETPOWERMANAGEMENT, sizeof(vpm), reinterpret_cast<const char*>(&vpm), 0, nullptr);
  }
  if (screen != nullptr) ReleaseDC(nullptr, screen);
}
