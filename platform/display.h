// Display: the display driver's power escape (ExtEscape SETPOWERMANAGEMENT)
// and the display state it records for the device tool.
#pragma once
#include <windows.h>

// Display power escape. The display driver stand-in answers
// QUERYESCSUPPORT for SETPOWERMANAGEMENT and records the state it is set
// to, which the device tool reads back.
#define SETPOWERMANAGEMENT 6147
#define VideoPowerOn 1
#define VideoPowerStandBy 2
#define VideoPowerSuspend 3
#define VideoPowerOff 4
typedef struct VIDEO_POWER_MANAGEMENT_CE {
  ULONG Length;
  ULONG DPMSVersion;
  ULONG PowerState;
} VIDEO_POWER_MANAGEMENT_CE;

int DisplayExtEscape(HDC dc, int escape, int inSize, const char* in, int outSize, char* out);
// The recorded display state: 1 on, 0 off. It exists only once the device
// tool has set one (`ovdevice display on|off`): until then it reads on, the
// setter records nothing, and DeviceDisplaySimulated() is 0.
int DeviceDisplaySimulated(void);
int DeviceDisplayIsOn(void);
void DeviceSetDisplayOn(int on);
