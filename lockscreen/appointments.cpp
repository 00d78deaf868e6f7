// Placeholder until the appointments land: the status text only.
#include "lockscreen/appointments.h"

#include <cwchar>

#include "lockscreen/lockscreen.h"

static wchar_t s_statusText[100] = L"Reading appointments ...";

DWORD WINAPI AppointmentsThread(LPVOID) { return 0; }
BOOL Appointments_LineSource(wchar_t line[256], int k) {
  if (k != 0) return FALSE;
  wcsncpy(line, s_statusText, 255);
  line[255] = L'\0';
  return TRUE;
}
void Appointments_GetErrorText(wchar_t text[128]) { text[0] = L'\0'; }
void Appointments_SetStatusText(const wchar_t* text) {
  wcsncpy(s_statusText, text, 99);
  s_statusText[99] = L'\0';
}
void Appointments_CloseConnection(void) {}
