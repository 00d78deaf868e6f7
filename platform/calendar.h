// Calendar: the narrow interface the appointments query walks. On the
// device it is the Pocket Outlook Object Model (POOM); here the items come
// from iCalendar files in the user's profile, read into one list:
//   %APPDATA%\Ombrevale\Calendar.ics      (SHGetFolderPath CSIDL_APPDATA)
//   %APPDATA%\Ombrevale\Calendars\*.ics   (one file per calendar, as
//                                         programs export them; by name)
// No file there is an empty calendar. A Calendar.ics that cannot be opened
// or read (locked, a folder, no access) fails the logon ("Could not
// initialize Poom"). A file larger than ical::kMaxFileBytes (2 MiB), one
// that is not iCalendar, one of the folder that cannot be read, and the
// files beyond kCalendarFolderFiles or past kCalendarTotalBytes in all are
// left out; the item collection then still holds the others but says
// S_FALSE, and the query records "Could not get Items" (shown only while
// nothing is listed).
//
// The objects keep POOM's shape as plain functions over opaque pointers, in
// the order the query uses them; every call returns an HRESULT (S_OK or a
// failure) and writes its result only on success. Nothing here is a
// registered COM server: the query initialises COM itself (CoInitializeEx)
// as the device requires, and the creation below stands in for
// CoCreateInstance(CLSID_Application).
#pragma once
#include <windows.h>
#include <wtypes.h>  // DATE

#include "platform/core/calendar_values.h"

#define olFolderCalendar 9

// Files read from the Calendars folder at most, and bytes in all.
#define kCalendarFolderFiles 32
#define kCalendarTotalBytes (8u * 1024u * 1024u)

// The application object. Created with one reference (the IUnknown of the
// device); CalendarQueryApp adds the second (its IPOutlookApp); each
// reference is given back with CalendarRelease.
typedef struct CalendarApp CalendarApp;
// The default calendar folder; released with CalendarFolderRelease.
typedef struct CalendarFolder CalendarFolder;
// The folder's items, read when the collection is made; released with
// CalendarItemsRelease.
typedef struct CalendarItems CalendarItems;
// An item and its recurrence pattern belong to their collection: valid
// until the collection is released, never released on their own.
typedef struct CalendarItem CalendarItem;
typedef struct CalendarPattern CalendarPattern;

// The calendar file's full path into `out` (MAX_PATH units); FALSE when the
// profile folder is unknown or the path would not fit.
BOOL CalendarFilePath(wchar_t* out, DWORD capacity);
// The folder of further calendar files (no trailing backslash), likewise.
BOOL CalendarFolderPath(wchar_t* out, DWORD capacity);

HRESULT CalendarCreateApplication(CalendarApp** out);              // CoCreateInstance
HRESULT CalendarQueryApp(CalendarApp* object, CalendarApp** out);  // QueryInterface(IID_IPOutlookApp)
ULONG CalendarRelease(CalendarApp* app);                           // the references left
// Logon reads the files (window is unused); Logoff drops what was read.
HRESULT CalendarLogon(CalendarApp* app, HWND window);
HRESULT CalendarLogoff(CalendarApp* app);

// Only olFolderCalendar, and only while logged on.
HRESULT CalendarGetDefaultFolder(CalendarApp* app, int folder, CalendarFolder** out);
void CalendarFolderRelease(CalendarFolder* folder);

// Reads the files' items, sorted by start (equal starts in reading order).
// S_FALSE: some file was left out (see above). `cancel` (may be NULL) is
// polled during the read: once it is signalled the read stops and the call
// fails with E_ABORT, so that a long read never delays the end of the lock
// screen.
HRESULT CalendarFolderItems(CalendarFolder* folder, HANDLE cancel, CalendarItems** out);
void CalendarItemsRelease(CalendarItems* items);
HRESULT CalendarItemsCount(CalendarItems* items, int* count);
HRESULT CalendarItemsItem(CalendarItems* items, int index, CalendarItem** out);  // 1-based

HRESULT CalendarItemStart(CalendarItem* item, DATE* start);  // local time
// The subject (calendar::kSubjectUnits at most), cut to `capacity` - 1 units,
// never inside a surrogate pair.
HRESULT CalendarItemSubject(CalendarItem* item, wchar_t* out, int capacity);
HRESULT CalendarItemAllDayEvent(CalendarItem* item, BOOL* allDay);
HRESULT CalendarItemIsRecurring(CalendarItem* item, BOOL* recurring);
// Fails for an item that is not recurring.
HRESULT CalendarItemGetRecurrencePattern(CalendarItem* item, CalendarPattern** out);

HRESULT CalendarPatternNoEndDate(CalendarPattern* pattern, BOOL* noEnd);
// The start of the last occurrence (COUNT), or the UNTIL bound (an UNTIL
// that is a date: the end of that day).
HRESULT CalendarPatternPatternEndDate(CalendarPattern* pattern, DATE* end);
// One of calendar::kRecurs* (POOM's olRecurs numbers).
HRESULT CalendarPatternRecurrenceType(CalendarPattern* pattern, int* type);
// Whether the series runs on a clock of its own (a zone other than the
// device's: a TZID or UTC), and its first start on that clock.
HRESULT CalendarPatternOwnClock(CalendarPattern* pattern, BOOL* own, DATE* ownStart);
// A device time onto the series' own clock (toOwn) or back.
HRESULT CalendarPatternConvert(CalendarPattern* pattern, BOOL toOwn, DATE in, DATE* out);
// TRUE when the series has no occurrence at `start`: removed (EXDATE) or
// moved elsewhere (an override with RECURRENCE-ID, listed as its own item).
HRESULT CalendarPatternIsException(CalendarPattern* pattern, DATE start, BOOL* removed);

// --- for tests ---------------------------------------------------------------
// How many times CalendarLogon ran in this process (tests of the retries).
LONG CalendarLogonCount(void);
