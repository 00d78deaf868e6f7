// The appointments query: the connection, the walk over the calendar's
// items through the pure rules, and the line format; see
// appointments_query.h. The connection is opened and closed by the
// appointments thread alone; the last close at shutdown runs on the main
// thread after that thread has ended.
#include "lockscreen/appointments_query.h"

#include <objbase.h>

#include <cwchar>

#include "platform/calendar.h"
#include "platform/local_time.h"

static const int kTries = 5;

// The connection: the created object (the device's IUnknown) and its
// application interface.
static CalendarApp* s_object = nullptr;
static CalendarApp* s_app = nullptr;
// COM initialisations to undo, and the thread they belong to: S_FALSE
// (already initialised) also needs its CoUninitialize, and an undo on
// another thread would take COM away from that thread's own user.
static LONG s_comInits = 0;
static DWORD s_comThread = 0;

LONG AppointmentsComInitsHeld(void) { return s_comInits; }

static void ReleaseObjects(void) {
  if (s_app != nullptr) CalendarRelease(s_app);
  if (s_object != nullptr) CalendarRelease(s_object);
  s_app = s_object = nullptr;
}

static void UndoCom(void) {
  if (s_comInits > 0 && s_comThread == GetCurrentThreadId()) {
    CoUninitialize();
    s_comInits = 0;
  }
}

BOOL AppointmentsOpenConnection(void) {
  if (s_object != nullptr || s_app != nullptr) return TRUE;
  HRESULT hr = E_FAIL;
  for (int i = 0; i < kTries && FAILED(hr); ++i) hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (FAILED(hr)) return FALSE;  // nothing to undo
  s_comInits = 1;
  s_comThread = GetCurrentThreadId();
  hr = E_FAIL;
  for (int i = 0; i < kTries && hr != S_OK; ++i) hr = CalendarCreateApplication(&s_object);
  if (hr == S_OK) {
    hr = E_FAIL;
    for (int i = 0; i < kTries && hr != S_OK; ++i) hr = CalendarQueryApp(s_object, &s_app);
  }
  if (hr == S_OK) {
    hr = E_FAIL;
    for (int i = 0; i < kTries && hr != S_OK; ++i) hr = CalendarLogon(s_app, nullptr);
  }
  if (hr == S_OK) return TRUE;
  ReleaseObjects();
  UndoCom();
  return FALSE;
}

void AppointmentsCloseConnection(void) {
  if (s_app != nullptr) {
    CalendarLogoff(s_app);
    CalendarRelease(s_app);
    s_app = nullptr;
  }
  if (s_object != nullptr) {
    CalendarRelease(s_object);
    s_object = nullptr;
  }
  UndoCom();
}

// ------------------------------------------------ the calendar as the walk sees it

struct WalkContext {
  CalendarItems* items;
  HANDLE cancel;
};

static bool ReadItem(void* context, int index, appt::ItemFacts* out) {
  CalendarItem* item = nullptr;
  if (FAILED(CalendarItemsItem(static_cast<WalkContext*>(context)->items, index, &item)) || item == nullptr)
    return false;
  DATE start = 0;
  if (FAILED(CalendarItemStart(item, &start))) return false;
  wchar_t subject[appt::kSubjectUnits];
  if (FAILED(CalendarItemSubject(item, subject, appt::kSubjectUnits))) subject[0] = L'\0';
  BOOL allDay = FALSE, recurring = FALSE;
  if (FAILED(CalendarItemAllDayEvent(item, &allDay))) allDay = FALSE;
  // Recurring only when the read succeeds and says so.
  if (FAILED(CalendarItemIsRecurring(item, &recurring))) recurring = FALSE;
  out->start = start;
  out->allDay = allDay != FALSE;
  out->recurring = recurring != FALSE;
  int i = 0;
  for (; i < appt::kSubjectUnits - 1 && subject[i] != L'\0'; ++i) out->subject[i] = static_cast<char16_t>(subject[i]);
  out->subject[i] = 0;
  return true;
}

static CalendarPattern* PatternOf(void* context, int index) {
  CalendarItem* item = nullptr;
  CalendarPattern* pattern = nullptr;
  if (FAILED(CalendarItemsItem(static_cast<WalkContext*>(context)->items, index, &item)) || item == nullptr)
    return nullptr;
  if (FAILED(CalendarItemGetRecurrencePattern(item, &pattern))) return nullptr;
  return pattern;
}

static bool ReadPattern(void* context, int index, appt::PatternFacts* out) {
  CalendarPattern* pattern = PatternOf(context, index);
  if (pattern == nullptr) return false;
  BOOL noEnd = TRUE;
  DATE end = 0;
  if (FAILED(CalendarPatternNoEndDate(pattern, &noEnd))) noEnd = TRUE;
  if (!noEnd && FAILED(CalendarPatternPatternEndDate(pattern, &end))) noEnd = TRUE;
  int type = 0;
  out->noEndDate = noEnd != FALSE;
  out->patternEnd = end;
  out->typeRead = SUCCEEDED(CalendarPatternRecurrenceType(pattern, &type));
  out->type = type;
  BOOL own = FALSE;
  DATE ownStart = 0;
  out->ownClock = SUCCEEDED(CalendarPatternOwnClock(pattern, &own, &ownStart)) && own;
  out->ownStart = ownStart;
  return true;
}

static bool Convert(void* context, int index, bool toOwn, double in, double* out) {
  CalendarPattern* pattern = PatternOf(context, index);
  DATE result = 0;
  if (pattern == nullptr || FAILED(CalendarPatternConvert(pattern, toOwn ? TRUE : FALSE, in, &result))) return false;
  *out = result;
  return true;
}

static bool Excluded(void* context, int index, double start) {
  CalendarPattern* pattern = PatternOf(context, index);
  BOOL removed = FALSE;
  return pattern != nullptr && SUCCEEDED(CalendarPatternIsException(pattern, start, &removed)) && removed;
}

static bool Stop(void* context) {
  HANDLE cancel = static_cast<WalkContext*>(context)->cancel;
  return cancel != nullptr && WaitForSingleObject(cancel, 0) == WAIT_OBJECT_0;
}

static void SetError(wchar_t errorText[128], const wchar_t* text) {
  wcsncpy(errorText, text, 127);
  errorText[127] = L'\0';
}

int AppointmentsQuery(appt::Row* rows, int capacity, BOOL moving, int* recurring, HANDLE cancel,
                      wchar_t errorText[128]) {
  SYSTEMTIME local;
  DeviceGetLocalTime(&local);
  oledate::Fields today{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond, 0};
  double now = 0;
  const int limit = *recurring;
  *recurring = 0;
  if (!oledate::FromFields(today, &now) || !oledate::ToFields(now, &today)) return 0;

  if (!AppointmentsOpenConnection()) {
    SetError(errorText, L"Could not initialize Poom");
    return 0;
  }
  CalendarFolder* folder = nullptr;
  if (FAILED(CalendarGetDefaultFolder(s_app, olFolderCalendar, &folder)) || folder == nullptr) {
    SetError(errorText, L"Could not get calendar folder");
    AppointmentsCloseConnection();
    return 0;
  }
  CalendarItems* items = nullptr;
  const HRESULT hr = CalendarFolderItems(folder, cancel, &items);
  if (FAILED(hr) || items == nullptr) {
    // A read cut short by the end of the lock screen is no failure of the
    // calendar: no error text for it.
    if (hr != E_ABORT) SetError(errorText, L"Could not get Items");
    CalendarFolderRelease(folder);
    AppointmentsCloseConnection();
    return 0;
  }
  // Some file was left out: the others are listed, and the text is there
  // for when nothing is.
  if (hr == S_FALSE) SetError(errorText, L"Could not get Items");
  int count = 0;
  if (FAILED(CalendarItemsCount(items, &count))) count = 0;
  WalkContext context{items, cancel};
  appt::Source source{&context, count, ReadItem, ReadPattern, Excluded, Convert, Stop};
  int listed = limit;
  const int filled = appt::Walk(source, today, now, rows, capacity, moving != FALSE, &listed);
  CalendarItemsRelease(items);
  CalendarFolderRelease(folder);
  AppointmentsCloseConnection();
  *recurring = listed;
  return filled;
}

BOOL AppointmentsFormatRow(const appt::Row& row, wchar_t line[256]) {
  oledate::Fields f;
  if (!row.used || !oledate::ToFields(row.start, &f) || f.year < 1601) return FALSE;
  SYSTEMTIME st = {
      static_cast<WORD>(f.year), static_cast<WORD>(f.month),  static_cast<WORD>(f.weekday), static_cast<WORD>(f.day),
      static_cast<WORD>(f.hour), static_cast<WORD>(f.minute), static_cast<WORD>(f.second),  0};
  wchar_t subject[appt::kSubjectUnits];
  int n = 0;
  for (; n < appt::kSubjectUnits - 1 && row.subject[n] != 0; ++n) subject[n] = static_cast<wchar_t>(row.subject[n]);
  subject[n] = L'\0';
  wchar_t date[128], time[128];
  if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 128) == 0) date[0] = L'\0';
  // Counted forms: the pieces can never overrun the 256 units together
  // (96 + 90 + 63 and the separators), and %ls means a wide string on
  // both runtimes.
  if (row.allDay) {
    swprintf(line, 256, L"%.*ls - %.*ls", 96, date, 63, subject);
  } else {
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, time, 128) == 0) time[0] = L'\0';
    swprintf(line, 256, L"%.*ls %.*ls - %.*ls", 96, date, 90, time, 63, subject);
  }
  line[255] = L'\0';
  return TRUE;
}
