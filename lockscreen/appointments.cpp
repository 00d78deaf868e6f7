// The appointments panel's worker and line source. The thread queries the
// calendar 100 ms after start-up and then every 10 minutes, and publishes
// each result; the painter (window thread) reads the published table one
// line at a time. Publication and reads hold one slim lock, so a line is
// never drawn from a half-written row or text; a paint that straddles a
// publication is followed by the repaint the publication asks for.
#include "lockscreen/appointments.h"

#include <cwchar>
#include <new>

#include "lockscreen/appointments_query.h"
#include "lockscreen/lockscreen.h"

static const DWORD kFirstWaitMs = 100;
static const DWORD kWaitMs = 600000;

static SRWLOCK s_lock = SRWLOCK_INIT;
static appt::Row s_table[appt::kTableRows];  // rows with used == false are empty
static wchar_t s_statusText[100] = L"Reading appointments ...";
static wchar_t s_errorText[128] = L"";  // the last failure's text; never cleared

void Appointments_SetStatusText(const wchar_t* text) {
  AcquireSRWLockExclusive(&s_lock);
  wcsncpy(s_statusText, text, 99);
  s_statusText[99] = L'\0';
  ReleaseSRWLockExclusive(&s_lock);
}

void Appointments_GetErrorText(wchar_t text[128]) {
  AcquireSRWLockShared(&s_lock);
  wcsncpy(text, s_errorText, 127);
  text[127] = L'\0';
  ReleaseSRWLockShared(&s_lock);
}

void Appointments_CloseConnection(void) { AppointmentsCloseConnection(); }

// Step 4 and 5: the sorted rows into the shared table, the error text of a
// failed query, "No Appointments", then the panel's repaint.
static void Publish(appt::Row* rows, int filled, const wchar_t* error) {
  static appt::Row table[appt::kTableRows];  // this thread's own: sorted before the lock is taken
  appt::Publish(rows, filled, table, appt::kTableRows);
  AcquireSRWLockExclusive(&s_lock);
  for (int k = 0; k < appt::kTableRows; ++k) s_table[k] = table[k];
  if (error[0] != L'\0') {
    wcsncpy(s_errorText, error, 127);
    s_errorText[127] = L'\0';
  }
  wcscpy(s_statusText, L"No Appointments");
  ReleaseSRWLockExclusive(&s_lock);
  Region_Invalidate(kAppointmentsRegion);
}

// The integration tests cause the failed allocation that a calendar read
// can meet (std::bad_alloc) by starting the lock screen with the
// environment variable OMBREVALE_TEST_FAULT set to "appointments-alloc";
// nothing else sets it.
static bool AllocationFaultRequested(void) {
  wchar_t value[32];
  DWORD n = GetEnvironmentVariableW(L"OMBREVALE_TEST_FAULT", value, 32);
  return n > 0 && n < 32 && wcscmp(value, L"appointments-alloc") == 0;
}

DWORD WINAPI AppointmentsThread(LPVOID) {
  if (InterlockedCompareExchange(&g_lockScreen.appointmentsRunning, 1, 0) != 0) return 0;
  DWORD wait = kFirstWaitMs;
  while (!WaitEndEvent(wait)) {
    appt::Row rows[appt::kCapacity] = {};
    int recurring = appt::kRecurringLimit;
    wchar_t error[128] = L"";
    if (AllocationFaultRequested()) throw std::bad_alloc();
    const int filled = AppointmentsQuery(rows, appt::kCapacity, TRUE, &recurring, g_lockScreen.endEvent, error);
    Publish(rows, filled, error);
    wait = kWaitMs;
  }
  InterlockedExchange(&g_lockScreen.appointmentsRunning, 0);
  return 0;
}

BOOL Appointments_LineSource(wchar_t line[256], int k) {
  appt::Row row{};
  bool showStatus = false;
  AcquireSRWLockShared(&s_lock);
  if (k >= 0 && k < appt::kTableRows) row = s_table[k];
  if (!row.used && k == 0 && wcslen(s_errorText) < 4) {
    wcsncpy(line, s_statusText, 255);
    line[255] = L'\0';
    showStatus = true;
  }
  ReleaseSRWLockShared(&s_lock);
  if (showStatus) return TRUE;
  if (!row.used) return FALSE;
  return AppointmentsFormatRow(row, line);
}
