// Helpers of the appointments' integration tests; see appointments_support.h.
#include "tests/wine/support/appointments_support.h"

#include <shlobj.h>

#include <cstdio>
#include <cwchar>

#include "platform/calendar.h"
#include "shared/lock_window.h"
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
    L"1/14/2027 9:30 AM - Dentist", L"1/15/2027 - Holiday", L"1/16/2027 2:00 PM - Rent",
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
  const BOOL ok = bytes.empty() ||
                  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
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

// Wine writes its debug channels to the Unix standard error of the
// process, which no Windows handle redirects (CreateProcess passes on only
// standard input and output). So the lock screen is started through a Unix
// shell (Wine runs Unix programs from CreateProcess) that sends the trace
// to a file under /tmp, read back here as Z:\tmp\...
TracedLock StartTracedLock(const wchar_t* tz) {
  TracedLock lock;
  wchar_t name[64];
  swprintf(name, 64, L"ombrevale-appointments-%lu-%lu.log", GetCurrentProcessId(), GetTickCount());
  lock.traceFile = std::wstring(L"Z:\\tmp\\") + name;
  std::wstring unixTrace = std::wstring(L"/tmp/") + name;
  const std::wstring zone = tz != nullptr ? std::wstring(L"TZ=") + tz + L" " : std::wstring();
  std::wstring command = L"/bin/sh -c \"" + zone + L"WINEDEBUG=trace+text exec wine '" +
                         wt::InstalledPath(L"Corvane.exe") + L"' /load 2>" + unixTrace + L"\"";
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(L"Z:\\bin\\sh", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return lock;
  CloseHandle(pi.hThread);
  lock.process = pi.hProcess;  // the shell; the lock screen itself ends through wt::KillSuite
  wt::WaitFor(
      [&] {
        lock.window = FindWindowW(kLockWindowClass, kLockWindowTitle);
        return lock.window != nullptr && IsWindowVisible(lock.window);
      },
      15000);
  return lock;
}

void CloseTracedLock(TracedLock& lock) {
  wt::KillSuite();
  if (lock.process != nullptr) {
    WaitForSingleObject(lock.process, 5000);
    CloseHandle(lock.process);
  }
  if (!lock.traceFile.empty()) DeleteFileW(lock.traceFile.c_str());
  lock = TracedLock();
}

// Reads a Wine debug string: L"..." with C escapes (\n, \t, \\, \", \xNNNN).
static bool ParseQuoted(const std::string& s, size_t* at, std::wstring* out) {
  size_t i = *at;
  if (i + 1 >= s.size() || s[i] != 'L' || s[i + 1] != '"') return false;
  i += 2;
  out->clear();
  while (i < s.size() && s[i] != '"') {
    if (s[i] == '\\' && i + 1 < s.size()) {
      const char c = s[++i];
      if (c == 'n') out->push_back(L'\n');
      else if (c == 't') out->push_back(L'\t');
      else if (c == 'r') out->push_back(L'\r');
      else if (c == 'x' || c == 'u') {
        size_t n = 0;
        unsigned v = 0;
        while (n < 4 && i + 1 < s.size() && isxdigit(static_cast<unsigned char>(s[i + 1]))) {
          v = v * 16 + (isdigit(static_cast<unsigned char>(s[i + 1])) ? s[i + 1] - '0' : (tolower(s[i + 1]) - 'a' + 10));
          ++i;
          ++n;
        }
        out->push_back(static_cast<wchar_t>(v));
      } else {
        out->push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
      }
      ++i;
    } else {
      // UTF-8 in the trace for characters Wine prints as they are.
      out->push_back(static_cast<wchar_t>(static_cast<unsigned char>(s[i])));
      ++i;
    }
  }
  *at = i + 1;
  return true;
}

std::vector<Drawn> DrawnTexts(const TracedLock& lock) {
  std::vector<Drawn> drawn;
  HANDLE f = CreateFileW(lock.traceFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return drawn;
  std::string all;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) all.append(buf, got);
  CloseHandle(f);
  size_t pos = 0;
  for (;;) {
    // trace:text:DrawTextExW (L"text",len,(l,t)-(r,b),flags)  -- the form varies a little by version
    const size_t at = all.find("DrawTextExW", pos);
    if (at == std::string::npos) break;
    const size_t eol = all.find('\n', at);
    const std::string line = all.substr(at, eol == std::string::npos ? std::string::npos : eol - at);
    pos = eol == std::string::npos ? all.size() : eol + 1;
    size_t q = line.find("L\"");
    Drawn d{};
    if (q == std::string::npos || !ParseQuoted(line, &q, &d.text)) continue;
    const size_t r = line.find('(', q);
    int l = 0, t = 0, rr = 0, b = 0;
    unsigned flags = 0;
    if (r != std::string::npos && sscanf(line.c_str() + r, "(%d,%d)-(%d,%d)] %x", &l, &t, &rr, &b, &flags) >= 4) {
      d.rect = RECT{l, t, rr, b};
      d.flags = flags;
    }
    drawn.push_back(d);
  }
  return drawn;
}

int WaitDrawn(const TracedLock& lock, const std::wstring& text, DWORD timeoutMs) {
  int index = -1;
  wt::WaitFor(
      [&] {
        const std::vector<Drawn> d = DrawnTexts(lock);
        for (size_t i = 0; i < d.size(); ++i)
          if (d[i].text == text) {
            index = static_cast<int>(i);
            return true;
          }
        return false;
      },
      timeoutMs);
  return index;
}

}  // namespace at
