// What the appointments' integration tests share: the calendar file in the
// profile, a lock screen started with Wine's text trace, the texts it drew,
// and the query itself (lockscreen/appointments_query.cpp is compiled into
// the test program, so the Win32 query and line format run as they are).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace at {

// A week at the pinned clock "2027-01-13 10:00:00" (a Wednesday): a yearly
// all-day birthday, a weekly and a monthly series, a timed and an all-day
// one-off in the window, one timed item before and one after it.
extern const char kSampleWeek[];
// Its panel lines in the en-US formats, in order.
extern const wchar_t* const kSampleWeekLines[5];

// %APPDATA%\Ombrevale\Calendar.ics
std::wstring CalendarPath();
// Writes Calendar.ics (bytes as given); false on failure.
bool WriteCalendar(const std::string& bytes);
// Writes a file into the Calendars folder (%APPDATA%\Ombrevale\Calendars).
bool WriteFolderCalendar(const wchar_t* name, const std::string& bytes);
// Removes the file (or the folder put in its place) and the Calendars folder's files.
void RemoveCalendar();
// Puts a folder where the file belongs: the calendar cannot be read.
bool MakeCalendarUnreadable();

// One DrawTextExW call as Wine's "trace+text" channel reports it.
struct Drawn {
  std::wstring text;
  RECT rect;
  UINT flags;
};

struct TracedLock {
  HANDLE process = nullptr;
  HWND window = nullptr;
  std::wstring traceFile;
};
// Starts Corvane with WINEDEBUG=trace+text and its standard error in a file,
// and waits for its lock window. `tz` (an IANA name, may be null) is the
// time zone of the Wine process (TZ), the device's zone.
TracedLock StartTracedLock(const wchar_t* tz = nullptr);
void CloseTracedLock(TracedLock& lock);
// Every text drawn so far, in order.
std::vector<Drawn> DrawnTexts(const TracedLock& lock);
// Waits until a text equal to `text` has been drawn; its index or -1.
int WaitDrawn(const TracedLock& lock, const std::wstring& text, DWORD timeoutMs);

}  // namespace at
