// The calendar interface over the iCalendar file; see calendar.h. The
// reading and all rules live in lockscreen/core/ical_reader; this file only
// finds the file, reads its bytes with a bound, supplies the local time
// zone and hands out the items.
#include "platform/calendar.h"

#include <shlobj.h>

#include <new>
#include <vector>

#include "lockscreen/core/ical_reader.h"

struct CalendarApp {
  LONG references;
  bool loggedOn;
  bool tooBig;               // the file is larger than the bound
  std::vector<uint8_t> bytes;  // the file as read at logon
};

struct CalendarFolder {
  CalendarApp* app;
};

struct CalendarItems {
  std::vector<ical::Item> items;
};

static volatile LONG s_logons = 0;

BOOL CalendarFilePath(wchar_t* out, DWORD capacity) {
  static const wchar_t kTail[] = L"\\Ombrevale\\Calendar.ics";
  wchar_t folder[MAX_PATH];
  if (capacity == 0) return FALSE;
  out[0] = L'\0';
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return FALSE;
  const size_t a = wcslen(folder), b = wcslen(kTail);
  if (a + b + 1 > capacity) return FALSE;
  wcscpy(out, folder);
  wcscpy(out + a, kTail);
  return TRUE;
}

HRESULT CalendarCreateApplication(CalendarApp** out) {
  CalendarApp* app = new (std::nothrow) CalendarApp();
  if (app == nullptr) return E_OUTOFMEMORY;
  app->references = 1;
  *out = app;
  return S_OK;
}

HRESULT CalendarQueryApp(CalendarApp* object, CalendarApp** out) {
  if (object == nullptr) return E_POINTER;
  InterlockedIncrement(&object->references);
  *out = object;
  return S_OK;
}

ULONG CalendarRelease(CalendarApp* app) {
  if (app == nullptr) return 0;
  const LONG left = InterlockedDecrement(&app->references);
  if (left == 0) delete app;
  return static_cast<ULONG>(left);
}

LONG CalendarLogonCount(void) { return s_logons; }

HRESULT CalendarLogon(CalendarApp* app, HWND) {
  InterlockedIncrement(&s_logons);
  if (app == nullptr) return E_POINTER;
  app->bytes.clear();
  app->tooBig = false;
  wchar_t path[MAX_PATH];
  if (!CalendarFilePath(path, MAX_PATH)) return E_FAIL;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return HRESULT_FROM_WIN32(error);
    app->loggedOn = true;  // no file: an empty calendar
    return S_OK;
  }
  LARGE_INTEGER size;
  HRESULT result = S_OK;
  if (!GetFileSizeEx(file, &size)) {
    result = HRESULT_FROM_WIN32(GetLastError());
  } else if (size.QuadPart > static_cast<LONGLONG>(ical::kMaxFileBytes)) {
    app->tooBig = true;
  } else {
    app->bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!app->bytes.empty() &&
        (!ReadFile(file, app->bytes.data(), static_cast<DWORD>(app->bytes.size()), &got, nullptr) ||
         got != app->bytes.size()))
      result = E_FAIL;
  }
  CloseHandle(file);
  if (FAILED(result)) {
    app->bytes.clear();
    return result;
  }
  app->loggedOn = true;
  return S_OK;
}

HRESULT CalendarLogoff(CalendarApp* app) {
  if (app == nullptr) return E_POINTER;
  app->loggedOn = false;
  app->tooBig = false;
  std::vector<uint8_t>().swap(app->bytes);
  return S_OK;
}

HRESULT CalendarGetDefaultFolder(CalendarApp* app, int folder, CalendarFolder** out) {
  if (app == nullptr || out == nullptr) return E_POINTER;
  if (folder != olFolderCalendar) return E_INVALIDARG;
  if (!app->loggedOn) return E_UNEXPECTED;
  CalendarFolder* f = new (std::nothrow) CalendarFolder();
  if (f == nullptr) return E_OUTOFMEMORY;
  f->app = app;
  *out = f;
  return S_OK;
}

void CalendarFolderRelease(CalendarFolder* folder) { delete folder; }

// The device's local zone: UTC into local time with the zone's own rules
// for that date (years before 1601 are taken as they are).
static double UtcToLocal(void*, double utc) {
  oledate::Fields f;
  if (!oledate::ToFields(utc, &f) || f.year < 1601) return utc;
  SYSTEMTIME u = {static_cast<WORD>(f.year), static_cast<WORD>(f.month), 0, static_cast<WORD>(f.day),
                  static_cast<WORD>(f.hour), static_cast<WORD>(f.minute), static_cast<WORD>(f.second), 0};
  SYSTEMTIME l;
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &u, &l)) return utc;
  double local;
  oledate::Fields lf{l.wYear, l.wMonth, l.wDay, l.wHour, l.wMinute, l.wSecond, 0};
  return oledate::FromFields(lf, &local) ? local : utc;
}

static bool Cancelled(void* context) {
  HANDLE cancel = static_cast<HANDLE>(context);
  return cancel != nullptr && WaitForSingleObject(cancel, 0) == WAIT_OBJECT_0;
}

HRESULT CalendarFolderItems(CalendarFolder* folder, HANDLE cancel, CalendarItems** out) {
  if (folder == nullptr || out == nullptr) return E_POINTER;
  CalendarApp* app = folder->app;
  if (!app->loggedOn) return E_UNEXPECTED;
  if (app->tooBig) return E_OUTOFMEMORY;
  CalendarItems* items = new (std::nothrow) CalendarItems();
  if (items == nullptr) return E_OUTOFMEMORY;
  ical::Options options{cancel, UtcToLocal, Cancelled};
  ical::Status status;
  try {
    status = ical::Read(app->bytes.data(), app->bytes.size(), options, &items->items);
  } catch (const std::bad_alloc&) {
    status = ical::Status::kTooBig;
  }
  if (status != ical::Status::kOk) {
    delete items;
    return status == ical::Status::kCancelled ? E_ABORT : E_FAIL;
  }
  *out = items;
  return S_OK;
}

void CalendarItemsRelease(CalendarItems* items) { delete items; }

HRESULT CalendarItemsCount(CalendarItems* items, int* count) {
  if (items == nullptr || count == nullptr) return E_POINTER;
  *count = static_cast<int>(items->items.size());
  return S_OK;
}

HRESULT CalendarItemsItem(CalendarItems* items, int index, CalendarItem** out) {
  if (items == nullptr || out == nullptr) return E_POINTER;
  if (index < 1 || index > static_cast<int>(items->items.size())) return E_INVALIDARG;
  *out = reinterpret_cast<CalendarItem*>(&items->items[static_cast<size_t>(index - 1)]);
  return S_OK;
}

static const ical::Item* ItemOf(CalendarItem* item) { return reinterpret_cast<const ical::Item*>(item); }
static const ical::Item* ItemOf(CalendarPattern* pattern) { return reinterpret_cast<const ical::Item*>(pattern); }

HRESULT CalendarItemStart(CalendarItem* item, DATE* start) {
  if (item == nullptr || start == nullptr) return E_POINTER;
  *start = ItemOf(item)->start;
  return S_OK;
}

HRESULT CalendarItemSubject(CalendarItem* item, wchar_t* out, int capacity) {
  if (item == nullptr || out == nullptr || capacity < 1) return E_POINTER;
  const char16_t* s = ItemOf(item)->subject;
  int n = 0;
  while (n < capacity - 1 && n < appt::kSubjectUnits - 1 && s[n] != 0) ++n;
  if (n > 0 && n < appt::kSubjectUnits - 1 && s[n] != 0 && s[n - 1] >= 0xD800 && s[n - 1] <= 0xDBFF)
    --n;  // never half a surrogate pair
  for (int i = 0; i < n; ++i) out[i] = static_cast<wchar_t>(s[i]);
  out[n] = L'\0';
  return S_OK;
}

HRESULT CalendarItemAllDayEvent(CalendarItem* item, BOOL* allDay) {
  if (item == nullptr || allDay == nullptr) return E_POINTER;
  *allDay = ItemOf(item)->allDay ? TRUE : FALSE;
  return S_OK;
}

HRESULT CalendarItemIsRecurring(CalendarItem* item, BOOL* recurring) {
  if (item == nullptr || recurring == nullptr) return E_POINTER;
  *recurring = ItemOf(item)->recurring ? TRUE : FALSE;
  return S_OK;
}

HRESULT CalendarItemGetRecurrencePattern(CalendarItem* item, CalendarPattern** out) {
  if (item == nullptr || out == nullptr) return E_POINTER;
  if (!ItemOf(item)->recurring) return E_FAIL;
  *out = reinterpret_cast<CalendarPattern*>(item);
  return S_OK;
}

HRESULT CalendarPatternNoEndDate(CalendarPattern* pattern, BOOL* noEnd) {
  if (pattern == nullptr || noEnd == nullptr) return E_POINTER;
  *noEnd = ItemOf(pattern)->noEndDate ? TRUE : FALSE;
  return S_OK;
}

HRESULT CalendarPatternPatternEndDate(CalendarPattern* pattern, DATE* end) {
  if (pattern == nullptr || end == nullptr) return E_POINTER;
  *end = ItemOf(pattern)->patternEnd;
  return S_OK;
}

HRESULT CalendarPatternRecurrenceType(CalendarPattern* pattern, int* type) {
  if (pattern == nullptr || type == nullptr) return E_POINTER;
  *type = ItemOf(pattern)->recurrenceType;
  return S_OK;
}

HRESULT CalendarPatternIsException(CalendarPattern* pattern, DATE start, BOOL* removed) {
  if (pattern == nullptr || removed == nullptr) return E_POINTER;
  *removed = ical::IsException(*ItemOf(pattern), start) ? TRUE : FALSE;
  return S_OK;
}
