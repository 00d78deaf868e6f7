// The calendar interface over the iCalendar files; see calendar.h. The
// reading and all rules live in platform/core/ical_*; this file only finds
// the files, reads their bytes within the bounds, supplies the device's time
// zone and the system's zone rules, and hands out the items.
#include "platform/calendar.h"

#include <shlobj.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "platform/core/ical_reader.h"
#include "platform/core/ole_date.h"

struct CalendarApp {
  LONG references;
  bool loggedOn;
  std::vector<std::vector<uint8_t>> files;  // the files as read at logon, Calendar.ics first
  int leftOut;                              // files that could not be read or were over a bound
};

struct CalendarFolder {
  CalendarApp* app;
};

// An item handed out by the collection: its place in the calendar.
struct CalendarItem {
  CalendarItems* owner;
  size_t index;
};

struct CalendarItems {
  ical::Calendar calendar;
  std::vector<CalendarItem> handles;
};

static volatile LONG s_logons = 0;

// The user's application data folder (CSIDL_APPDATA, as it is now, not
// created) into `folder`, MAX_PATH units. shell32 is loaded for the query
// and released after it: the lock screen asks only every ten minutes, and
// would otherwise keep the library (its image alone is 0.7 MiB resident
// under Wine) for its whole life.
static BOOL AppDataFolder(wchar_t* folder) {
  folder[0] = L'\0';
  typedef HRESULT(WINAPI * FolderPathFn)(HWND, int, HANDLE, DWORD, LPWSTR);
  HMODULE shell = LoadLibraryW(L"shell32.dll");
  if (shell == nullptr) return FALSE;
  const FolderPathFn query =
      reinterpret_cast<FolderPathFn>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathW")));
  const HRESULT hr = query != nullptr ? query(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) : E_FAIL;
  FreeLibrary(shell);
  if (SUCCEEDED(hr)) return TRUE;
  folder[0] = L'\0';
  return FALSE;
}

// %APPDATA% + `tail` into `out`.
static BOOL ProfilePath(const wchar_t* tail, wchar_t* out, DWORD capacity) {
  wchar_t folder[MAX_PATH];
  if (capacity == 0) return FALSE;
  out[0] = L'\0';
  if (!AppDataFolder(folder)) return FALSE;
  const size_t a = wcslen(folder), b = wcslen(tail);
  if (a + b + 1 > capacity) return FALSE;
  wcscpy(out, folder);
  wcscpy(out + a, tail);
  return TRUE;
}

BOOL CalendarFilePath(wchar_t* out, DWORD capacity) { return ProfilePath(L"\\Ombrevale\\Calendar.ics", out, capacity); }

BOOL CalendarFolderPath(wchar_t* out, DWORD capacity) { return ProfilePath(L"\\Ombrevale\\Calendars", out, capacity); }

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

enum ReadResult { kRead, kMissing, kOverBound, kUnreadable };

// Reads a whole file of at most `room` bytes (and at most kMaxFileBytes).
static ReadResult ReadWholeFile(const wchar_t* path, size_t room, std::vector<uint8_t>* bytes, DWORD* error) {
  *error = 0;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return *error == ERROR_FILE_NOT_FOUND || *error == ERROR_PATH_NOT_FOUND ? kMissing : kUnreadable;
  }
  LARGE_INTEGER size;
  ReadResult result = kRead;
  if (!GetFileSizeEx(file, &size)) {
    *error = GetLastError();
    result = kUnreadable;
  } else if (size.QuadPart > static_cast<LONGLONG>(ical::kMaxFileBytes) || static_cast<size_t>(size.QuadPart) > room) {
    result = kOverBound;
  } else {
    bytes->resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes->empty() &&
        (!ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) || got != bytes->size())) {
      *error = ERROR_READ_FAULT;
      result = kUnreadable;
    }
  }
  CloseHandle(file);
  if (result != kRead) bytes->clear();
  return result;
}

static bool IsIcsName(const wchar_t* name) {
  const size_t n = wcslen(name);
  return n > 4 && _wcsicmp(name + n - 4, L".ics") == 0;  // "*.ics" alone also finds "x.icsx" by its short name
}

// The .ics files of the Calendars folder, by name (at most kCalendarFolderFiles).
static std::vector<std::wstring> FolderFiles(int* leftOut) {
  std::vector<std::wstring> names;
  wchar_t folder[MAX_PATH], pattern[MAX_PATH];
  if (!CalendarFolderPath(folder, MAX_PATH) || wcslen(folder) + 7 > MAX_PATH) return names;
  wcscpy(pattern, folder);
  wcscat(pattern, L"\\*.ics");
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(pattern, &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !IsIcsName(found.cFileName)) continue;
    const std::wstring path = std::wstring(folder) + L"\\" + found.cFileName;
    if (path.size() >= MAX_PATH) {
      ++*leftOut;
      continue;
    }
    names.push_back(path);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  std::sort(names.begin(), names.end(),
            [](const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; });
  if (names.size() > kCalendarFolderFiles) {
    *leftOut += static_cast<int>(names.size() - kCalendarFolderFiles);
    names.resize(kCalendarFolderFiles);
  }
  return names;
}

HRESULT CalendarLogon(CalendarApp* app, HWND) {
  InterlockedIncrement(&s_logons);
  if (app == nullptr) return E_POINTER;
  app->files.clear();
  app->leftOut = 0;
  wchar_t path[MAX_PATH];
  if (!CalendarFilePath(path, MAX_PATH)) return E_FAIL;
  size_t room = kCalendarTotalBytes;
  std::vector<uint8_t> bytes;
  DWORD error;
  switch (ReadWholeFile(path, room, &bytes, &error)) {
    case kUnreadable: return HRESULT_FROM_WIN32(error);
    case kOverBound: ++app->leftOut; break;
    case kRead:
      room -= bytes.size();
      app->files.push_back(std::move(bytes));
      break;
    case kMissing:  // no file: an empty calendar
      break;
  }
  for (const std::wstring& name : FolderFiles(&app->leftOut)) {
    std::vector<uint8_t> more;
    if (ReadWholeFile(name.c_str(), room, &more, &error) != kRead) {
      ++app->leftOut;  // a file of the folder that cannot be read is left out, the others stay
      continue;
    }
    room -= more.size();
    app->files.push_back(std::move(more));
  }
  app->loggedOn = true;
  return S_OK;
}

HRESULT CalendarLogoff(CalendarApp* app) {
  if (app == nullptr) return E_POINTER;
  app->loggedOn = false;
  app->leftOut = 0;
  std::vector<std::vector<uint8_t>>().swap(app->files);
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

// The device's local zone: UTC into local time and back, with the zone's
// own rules for that date (years before 1601 are taken as they are).
static bool SystemTimeOf(double date, SYSTEMTIME* st) {
  oledate::Fields f;
  if (!oledate::ToFields(date, &f) || f.year < 1601) return false;
  *st = SYSTEMTIME{
      static_cast<WORD>(f.year),   static_cast<WORD>(f.month),  0, static_cast<WORD>(f.day), static_cast<WORD>(f.hour),
      static_cast<WORD>(f.minute), static_cast<WORD>(f.second), 0};
  return true;
}

static double DateOf(const SYSTEMTIME& st, double otherwise) {
  double out;
  oledate::Fields f{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, 0};
  return oledate::FromFields(f, &out) ? out : otherwise;
}

static double UtcToLocal(void*, double utc) {
  SYSTEMTIME u, l;
  if (!SystemTimeOf(utc, &u) || !SystemTimeToTzSpecificLocalTime(nullptr, &u, &l)) return utc;
  return DateOf(l, utc);
}

static double LocalToUtc(void*, double local) {
  SYSTEMTIME l, u;
  if (!SystemTimeOf(local, &l) || !TzSpecificLocalTimeToSystemTime(nullptr, &l, &u)) return local;
  return DateOf(u, local);
}

static ical::SystemChange ChangeOf(const SYSTEMTIME& st) {
  return ical::SystemChange{st.wYear, st.wMonth, st.wDayOfWeek, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

// A zone's rules for a year from the system's zone data (the registry's
// "Time Zones" key, also under Wine), by its Windows name.
static bool SystemZone(void*, const char* windowsName, int year, ical::SystemRules* out) {
  DYNAMIC_TIME_ZONE_INFORMATION zone = {};
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, windowsName, -1, zone.TimeZoneKeyName,
                                    ARRAYSIZE(zone.TimeZoneKeyName));
  // A name is one key: never a path to another one.
  if (n <= 1 || wcschr(zone.TimeZoneKeyName, L'\\') != nullptr || year < 1601 || year > 30827) return false;
  TIME_ZONE_INFORMATION rules;
  if (!GetTimeZoneInformationForYear(static_cast<USHORT>(year), &zone, &rules)) return false;
  *out = ical::SystemRules{static_cast<int>(rules.Bias), static_cast<int>(rules.StandardBias),
                           static_cast<int>(rules.DaylightBias), ChangeOf(rules.StandardDate),
                           ChangeOf(rules.DaylightDate)};
  return true;
}

static bool Cancelled(void* context) {
  HANDLE cancel = static_cast<HANDLE>(context);
  return cancel != nullptr && WaitForSingleObject(cancel, 0) == WAIT_OBJECT_0;
}

HRESULT CalendarFolderItems(CalendarFolder* folder, HANDLE cancel, CalendarItems** out) {
  if (folder == nullptr || out == nullptr) return E_POINTER;
  CalendarApp* app = folder->app;
  if (!app->loggedOn) return E_UNEXPECTED;
  CalendarItems* items = new (std::nothrow) CalendarItems();
  if (items == nullptr) return E_OUTOFMEMORY;
  std::vector<ical::FileBytes> files;
  for (const std::vector<uint8_t>& f : app->files) files.push_back(ical::FileBytes{f.data(), f.size()});
  ical::Options options{cancel, UtcToLocal, LocalToUtc, SystemZone, Cancelled};
  ical::Status status;
  try {
    status = ical::ReadFiles(files.data(), files.size(), options, &items->calendar, nullptr);
    items->handles.resize(items->calendar.items.size());
    for (size_t i = 0; i < items->handles.size(); ++i) items->handles[i] = CalendarItem{items, i};
  } catch (const std::bad_alloc&) {
    status = ical::Status::kTooBig;
    items->calendar.items.clear();
    items->handles.clear();
  }
  if (status == ical::Status::kCancelled) {
    delete items;
    return E_ABORT;
  }
  *out = items;
  return status == ical::Status::kOk && app->leftOut == 0 ? S_OK : S_FALSE;
}

void CalendarItemsRelease(CalendarItems* items) { delete items; }

HRESULT CalendarItemsCount(CalendarItems* items, int* count) {
  if (items == nullptr || count == nullptr) return E_POINTER;
  *count = static_cast<int>(items->handles.size());
  return S_OK;
}

HRESULT CalendarItemsItem(CalendarItems* items, int index, CalendarItem** out) {
  if (items == nullptr || out == nullptr) return E_POINTER;
  if (index < 1 || index > static_cast<int>(items->handles.size())) return E_INVALIDARG;
  *out = &items->handles[static_cast<size_t>(index - 1)];
  return S_OK;
}

static const ical::Item* ItemOf(CalendarItem* item) { return &item->owner->calendar.items[item->index]; }
static CalendarItem* HandleOf(CalendarPattern* pattern) { return reinterpret_cast<CalendarItem*>(pattern); }
static const ical::Item* ItemOf(CalendarPattern* pattern) { return ItemOf(HandleOf(pattern)); }
HRESULT CalendarItemStart(CalendarItem* item, DATE* start) {
  if (item == nullptr || start == nullptr) return E_POINTER;
  *start = ItemOf(item)->start;
  return S_OK;
}

HRESULT CalendarItemSubject(CalendarItem* item, wchar_t* out, int capacity) {
  if (item == nullptr || out == nullptr || capacity < 1) return E_POINTER;
  const char16_t* s = ItemOf(item)->subject;
  int n = 0;
  while (n < capacity - 1 && n < calendar::kSubjectUnits - 1 && s[n] != 0) ++n;
  if (n > 0 && n < calendar::kSubjectUnits - 1 && s[n] != 0 && s[n - 1] >= 0xD800 && s[n - 1] <= 0xDBFF)
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
  *removed = ical::IsException(&HandleOf(pattern)->owner->calendar, *ItemOf(pattern), start) ? TRUE : FALSE;
  return S_OK;
}

HRESULT CalendarPatternOwnClock(CalendarPattern* pattern, BOOL* own, DATE* ownStart) {
  if (pattern == nullptr || own == nullptr || ownStart == nullptr) return E_POINTER;
  const ical::Item* item = ItemOf(pattern);
  *own = item->clock != ical::kDeviceClock ? TRUE : FALSE;
  *ownStart = item->ownStart;
  return S_OK;
}

HRESULT CalendarPatternConvert(CalendarPattern* pattern, BOOL toOwn, DATE in, DATE* out) {
  if (pattern == nullptr || out == nullptr) return E_POINTER;
  ical::Clocks* clocks = &HandleOf(pattern)->owner->calendar.clocks;
  const int clock = ItemOf(pattern)->clock;
  double result;
  const bool ok =
      toOwn ? ical::LocalToClock(clocks, clock, in, &result) : ical::ClockToLocal(clocks, clock, in, &result);
  if (!ok) return E_FAIL;
  *out = result;
  return S_OK;
}
