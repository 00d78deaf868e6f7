// The display power switch. On the device (and wherever the device tool has
// set a display state) the display driver is asked whether it knows the
// power-management escape, and if so the display is set on or off with the
// 12-byte VIDEO_POWER_MANAGEMENT record; a driver without the escape leaves
// the display as it is.
//
// On a PC there is no such display: the monitors are switched with
// SC_MONITORPOWER through the lock window's own default handling, which is
// how Windows lets a program turn them off and on. A key or a mouse move
// turns them on again (Windows itself does too); only monitors this lock
// screen turned off are turned on, so that a key never fights the PC's own
// screen-off.
#include "lockscreen/lockscreen.h"
#include "lockscreen/monitors.h"
#include "platform/display.h"

#ifndef QUERYESCSUPPORT
#define QUERYESCSUPPORT 8
#endif

static const LPARAM kMonitorsOff = 2, kMonitorsOn = -1;
static const UINT kMonitorSendMs = 1000;
static volatile LONG s_monitorsOff = 0;  // 1 after this lock screen turned them off
static volatile LONG s_requests = 0;

void Display_CountRequest(LPARAM lParam) {
  if (lParam == kMonitorsOff) InterlockedExchangeAdd(&s_requests, 1);
  if (lParam == kMonitorsOn) InterlockedExchangeAdd(&s_requests, 0x10000);
}

LONG Display_Requests(void) { return InterlockedCompareExchange(&s_requests, 0, 0); }

static void MonitorPower(BOOL on) {
  if (on && InterlockedExchange(&s_monitorsOff, 0) == 0) return;
  if (!on) InterlockedExchange(&s_monitorsOff, 1);
  // Resetting the display idle timer lights the monitors also when the
  // lock window is already gone (the end of the lock screen).
  if (on) SetThreadExecutionState(ES_DISPLAY_REQUIRED);
  HWND window = g_lockScreen.window;
  DWORD_PTR ignored = 0;
  if (window != nullptr && IsWindow(window))
    SendMessageTimeoutW(window, WM_SYSCOMMAND, SC_MONITORPOWER, on ? kMonitorsOn : kMonitorsOff, SMTO_NORMAL,
                        kMonitorSendMs, &ignored);
}

void Display_WakeOnInput(void) {
  if (s_monitorsOff != 0) DisplayPowerSwitch(TRUE);
}

void DisplayPowerSwitch(BOOL on) {
  if (!DeviceDisplaySimulated()) {
    MonitorPower(on);
    return;
  }
  HDC screen = GetDC(nullptr);
  DWORD escape = SETPOWERMANAGEMENT;
  if (DisplayExtEscape(screen, QUERYESCSUPPORT, sizeof(escape), reinterpret_cast<const char*>(&escape), 0, nullptr) >
      0) {
    VIDEO_POWER_MANAGEMENT_CE vpm;
    vpm.Length = sizeof(vpm);  // 12
    vpm.DPMSVersion = 1;
    vpm.PowerState = on ? VideoPowerOn : VideoPowerOff;
    DisplayExtEscape(screen, SETPOWERMANAGEMENT, sizeof(vpm), reinterpret_cast<const char*>(&vpm), 0, nullptr);
  }
  if (screen != nullptr) ReleaseDC(nullptr, screen);
}
