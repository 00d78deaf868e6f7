// StatusInfo: what the refresh thread gathers and the painter draws (the
// record lives in g_lockScreen, lockscreen.h), and the battery text.
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
  volatile LONG lastDay;  // 99 forces the first date repaint
  volatile LONG lastHour;
  volatile LONG lastMinute;
};

// The battery text and its percentage as one consistent pair, so a paint
// never draws a half-written text. `known` is false until a real reading.
void Status_GetBattery(wchar_t text[32], int* percent, BOOL* known);

// The refresh thread's side: takes one reading of the battery (the query's
// success and the percentage byte). TRUE when the text changed and the
// battery region must be repainted.
BOOL Status_TakeBatteryReading(BOOL querySucceeded, BYTE percent);
// Back to the start values ("B[100%]", unknown), at program start.
void Status_Reset(void);
