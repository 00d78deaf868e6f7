// What the appointments' integration tests share: the calendar files in
// the profile (a lock screen started with Wine's text trace and the texts
// it drew are lockscreen_support.h's), and the query itself (lockscreen/appointments_query.cpp is compiled into
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

}  // namespace at
