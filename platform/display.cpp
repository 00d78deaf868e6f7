// The display driver's power escape. The state it is set to is recorded in
// the simulated device (value "DisplayOff"), where the device tool reads it
// back, but only while the device tool has set a display state: without
// one there is no simulated display to record (the lock screen then
// switches the PC's own monitors, lockscreen/display_power.cpp). The
// desktop's monitor is never touched here.
#include <string.h>

#include "platform/device_state.h"
#include "platform/display.h"

#ifndef QUERYESCSUPPORT
#define QUERYESCSUPPORT 8
#endif

int DeviceDisplaySimulated(void) {
  DWORD off = 0;
  return DeviceSimulatedDword(L"DisplayOff", &off) ? 1 : 0;
}

int DeviceDisplayIsOn(void) {
  DWORD off = 0;
  if (DeviceSimulatedDword(L"DisplayOff", &off) && off == 1) return 0;
  return 1;
}

void DeviceSetDisplayOn(int on) {
  if (DeviceDisplaySimulated()) DeviceWriteDword(L"DisplayOff", on ? 0 : 1);
}

int DisplayExtEscape(HDC dc, int escape, int inSize, const char* in, int outSize, char* out) {
  if (escape == QUERYESCSUPPORT) {
    if (in == nullptr || inSize < 4) return 0;
    DWORD asked = 0;
    memcpy(&asked, in, 4);
    if (asked == SETPOWERMANAGEMENT) return 1;
    return dc != nullptr ? ExtEscape(dc, escape, inSize, in, outSize, out) : 0;
  }
  if (escape == SETPOWERMANAGEMENT) {
    VIDEO_POWER_MANAGEMENT_CE vpm;
    if (in == nullptr || inSize < static_cast<int>(sizeof(vpm))) return -1;
    memcpy(&vpm, in, sizeof(vpm));
    if (vpm.Length < sizeof(vpm)) return -1;
    switch (vpm.PowerState) {
      case VideoPowerOn: DeviceSetDisplayOn(1); return 1;
      case VideoPowerStandBy:
      case VideoPowerSuspend:
      case VideoPowerOff: DeviceSetDisplayOn(0); return 1;
      default: return -1;
    }
  }
  return dc != nullptr ? ExtEscape(dc, escape, inSize, in, outSize, out) : 0;
}
