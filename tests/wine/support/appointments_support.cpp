// Helpers of the appointments' integration tests; see appointments_support.h.
#include "tests/wine/support/appointments_support.h"

#include <shlobj.h>

#include <cstdio>
#include <cwchar>

#include "platform/calendar.h"
#include "tests/wine/support/support.h"

// The query under test, compiled into the test program as it is.
#include "lockscreen/appointments_query.cpp"

namespace at {

const char kSampleWeek[] =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Ombrevale//tests//EN\r\n"
    "BEGIN:VEVENT\r\nUID:1\r\nDTSTART;VALUE=DATE:19900117\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Birthday\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:2\r\nDTSTART:20260602T080000\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:Standup\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:3\r\nDTSTART:20260316T140000\r\nRRULE:FREQ=MONTHLY\r\nSUMMARY:Rent\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:4\r\nDTSTART:20270112T090000\r\nSUMMARY:Yesterday\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:5\r\nDTSTART:20270114T093000\r\nSUMMARY:Dentist\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:6\r\nDTSTART;VALUE=DATE:20270115\r\nSUMMARY:Holiday\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:7\r\nDTSTART:20270125T100000\r\nSUMMARY:Later\r\nEND:VEVENT\r\n"
    "END:VCALENDAR\r\n";

const wchar_t* const kSampleWeekLines[5] = {
    L"1/14/2027 9:30 AM - Dentist", L"1/15/2027 - Holiday",         L"1/16/2027 2:00 PM - Rent",
    L"1/17/2027 - Birthday",        L"1/19/2027 8:00 AM - Standup",
};

std::wstring CalendarPath() {
  wchar_t path[MAX_PATH];
  return CalendarFilePath(path, MAX_PATH) ? std::wstring(path) : std::wstring();
}

static std::wstring Folder() {
  const std::wstring p = CalendarPath();
  return p.substr(0, p.rfind(L'\\'));
}

static bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = bytes.empty() || WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
  return ok && written == bytes.size();
}

// Calendar.ics alone (or the folder put in its place).
static void RemoveMainCalendar() {
  const std::wstring p = CalendarPath();
  DeleteFileW(p.c_str());
  RemoveDirectoryW(p.c_str());
}

bool WriteCalendar(const std::string& bytes) {
  RemoveMainCalendar();
  CreateDirectoryW(Folder().c_str(), nullptr);
  return WriteBytes(CalendarPath(), bytes);
}

static std::wstring CalendarsFolder() {
  wchar_t path[MAX_PATH];
  return CalendarFolderPath(path, MAX_PATH) ? std::wstring(path) : std::wstring();
}

bool WriteFolderCalendar(const wchar_t* name, const std::string& bytes) {
  CreateDirectoryW(Folder().c_str(), nullptr);
  CreateDirectoryW(CalendarsFolder().c_str(), nullptr);
  return WriteBytes(CalendarsFolder() + L"\\" + name, bytes);
}

void RemoveCalendar() {
  RemoveMainCalendar();
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((CalendarsFolder() + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring path = CalendarsFolder() + L"\\" + found.cFileName;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(CalendarsFolder().c_str());
}

bool MakeCalendarUnreadable() {
  RemoveMainCalendar();
  CreateDirectoryW(Folder().c_str(), nullptr);
  return CreateDirectoryW(CalendarPath().c_str(), nullptr) != FALSE;
}

}  // namespace at
