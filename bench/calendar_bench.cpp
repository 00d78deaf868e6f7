// Calendar reader benchmark, run under Wine by calendar_bench.sh (not a
// test): hostile calendar files of the 2 MiB bound, each read the way the
// lock screen reads it (logon, then the folder's items), medians over N
// runs beside the floor of the same run: the logon alone (finding and
// reading the file's bytes). Goal: well under a second per file.
//   small events   : as many one-line events as fit (beyond the item bound)
//   zoned series   : series in a zone named without a definition (the
//                    system's zone data), with EXDATEs in another zone
//   zone history   : one VTIMEZONE of tens of thousands of RDATE changes
//   moved series   : hundreds of RANGE=THISANDFUTURE overrides of a series
//   many zone names: a different unknown TZID on every event
//   nesting        : BEGIN lines without END
// Prints its human lines and the rows of bench/bench_rows.h.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_rows.h"
#include "platform/core/ical_reader.h"
#include "platform/calendar.h"

namespace {

const size_t kBound = ical::kMaxFileBytes;

std::string Fill(std::string s, const std::string& unit) {
  while (s.size() + unit.size() + 16 < kBound) s += unit;
  return s + "END:VCALENDAR\r\n";
}

std::string Numbered(std::string s, const char* format) {
  char line[256];
  for (int i = 0;; ++i) {
    snprintf(line, sizeof line, format, i % 1000, i % 1000);
    if (s.size() + strlen(line) + 16 >= kBound) break;
    s += line;
  }
  return s + "END:VCALENDAR\r\n";
}

std::string Hostile(int kind) {
  const std::string head = "BEGIN:VCALENDAR\r\n";
  switch (kind) {
    case 0: return Fill(head, "BEGIN:VEVENT\r\nDTSTART:20270114T093000\r\nEND:VEVENT\r\n");
    case 1:
      return Fill(head, "BEGIN:VEVENT\r\nDTSTART;TZID=Europe/Berlin:20270114T093000\r\nRRULE:FREQ=WEEKLY;COUNT=9999\r\n"
                        "EXDATE;TZID=America/New_York:20270121T033000,20270128T033000\r\nEND:VEVENT\r\n");
    case 2: {
      std::string s = head + "BEGIN:VTIMEZONE\r\nTZID:Z\r\nBEGIN:STANDARD\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0100\r\n"
                             "DTSTART:19000101T000000\r\n";
      std::string line = "RDATE:19010101T000000";
      for (int i = 0; i < 240; ++i) line += ",19010101T000000";
      while (s.size() + line.size() < kBound - 4096) s += line + "\r\n";
      s += "END:STANDARD\r\nEND:VTIMEZONE\r\n";
      return Fill(s, "BEGIN:VEVENT\r\nDTSTART;TZID=Z:20270114T093000\r\nEND:VEVENT\r\n");
    }
    case 3:
      return Numbered(head + "BEGIN:VEVENT\r\nUID:s\r\nDTSTART:20200101T100000\r\nRRULE:FREQ=WEEKLY\r\nEND:VEVENT\r\n",
                      "BEGIN:VEVENT\r\nUID:s\r\nRECURRENCE-ID;RANGE=THISANDFUTURE:2%03d0101T100000\r\n"
                      "DTSTART:2%03d0102T110000\r\nEND:VEVENT\r\n");
    case 4: return Numbered(head, "BEGIN:VEVENT\r\nDTSTART;TZID=Nowhere/%d%d:20270114T093000\r\nEND:VEVENT\r\n");
    default: return Fill(head, "BEGIN:X\r\n");
  }
}

const char* const kNames[] = {"small events", "zoned series",    "zone history",
                              "moved series", "many zone names", "nesting"};

double Ms(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
  return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? _wtoi(argv[1]) : 5;
  char runsText[16];
  snprintf(runsText, sizeof runsText, "%d", runs);
  wchar_t path[MAX_PATH], folder[MAX_PATH];
  if (!CalendarFilePath(path, MAX_PATH)) return 1;
  wcscpy(folder, path);
  *wcsrchr(folder, L'\\') = L'\0';
  CreateDirectoryW(folder, nullptr);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int kind = 0; kind < 6; ++kind) {
    const std::string bytes = Hostile(kind);
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    std::vector<double> read, logon;
    int count = 0;
    for (int r = 0; r < runs; ++r) {
      CalendarApp* app = nullptr;
      CalendarFolder* calendar = nullptr;
      CalendarItems* items = nullptr;
      LARGE_INTEGER t0, t1, t2;
      QueryPerformanceCounter(&t0);
      if (FAILED(CalendarCreateApplication(&app)) || FAILED(CalendarLogon(app, nullptr))) return 1;
      QueryPerformanceCounter(&t1);
      if (SUCCEEDED(CalendarGetDefaultFolder(app, olFolderCalendar, &calendar)) &&
          SUCCEEDED(CalendarFolderItems(calendar, nullptr, &items)))
        CalendarItemsCount(items, &count);
      QueryPerformanceCounter(&t2);
      logon.push_back(Ms(t0, t1, frequency));
      read.push_back(Ms(t0, t2, frequency));
      CalendarItemsRelease(items);
      CalendarFolderRelease(calendar);
      CalendarLogoff(app);
      CalendarRelease(app);
    }
    printf("%-16s %zu bytes, %d items: read %.1f ms (logon %.1f ms)\n", kNames[kind], bytes.size(), count,
           rows::MedianOf(read), rows::MedianOf(logon));
    char measure[96];
    snprintf(measure, sizeof measure, "calendar read 2 MiB: %s", kNames[kind]);
    rows::Row(measure, read, "ms", runsText, logon, rows::kDifference, "< 1000 ms", rows::Summary(read).max < 1000,
              "-");
  }
  DeleteFileW(path);
  return 0;
}
