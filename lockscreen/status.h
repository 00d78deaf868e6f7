// StatusInfo: what the refresh thread gathers and the painter draws.
#pragma once
#include <windows.h>

struct StatusInfo {
  LONG unreadSms;
  LONG unreadMail;
  LONG missedCalls;
  LONG lastSms;
  LONG lastMail;
  LONG lastMissedCalls;
  BYTE batteryPercent;
  volatile LONG lastDay;     // 99 forces the first date repaint
  volatile LONG lastHour;
  volatile LONG lastMinute;
};
extern StatusInfo g_status;

// The battery text and its percentage as one consistent pair, so a paint
// never draws a half-written text. `known` is false until a real reading.
void Status_GetBattery(wchar_t text[32], int* percent, BOOL* known);
