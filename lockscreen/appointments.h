// The appointments panel: the worker that queries the calendar and the line
// source the painter draws from.
#pragma once
#include <windows.h>

DWORD WINAPI AppointmentsThread(LPVOID unused);
// Line k of the panel into `line` (256 units); FALSE when there is none.
BOOL Appointments_LineSource(wchar_t line[256], int k);
// The error text of the last failed query ("" when none).
void Appointments_GetErrorText(wchar_t text[128]);
// Sets the status text shown while nothing is listed.
void Appointments_SetStatusText(const wchar_t* text);
// Closes the calendar connection (the last close, at shutdown).
void Appointments_CloseConnection(void);
