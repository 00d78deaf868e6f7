// The Win32 half of the appointments, run as it is inside the test program:
// the query over the calendar file at the pinned clock, its line format, the
// five tries of each opening step, COM initialisation kept balanced (S_FALSE
// included, and never undone on another thread), the size bound, and a read
// cut short by the cancel event.
#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <thread>
#include <vector>

#include "lockscreen/appointments_query.h"
#include "platform/core/ical_reader.h"
#include "platform/calendar.h"
#include "tests/wine/support/appointments_support.h"
#include "tests/wine/support/support.h"

namespace {

class AppointmentQuery : public wt::SuiteTest {
 protected:
  void SetUp() override {
    wt::SuiteTest::SetUp();
    ASSERT_EQ(wt::Device(L"clock \"2027-01-13 10:00:00\""), 0);
  }
  void TearDown() override {
    at::RemoveCalendar();
    wt::SuiteTest::TearDown();
  }
};

struct Outcome {
  int filled = 0;
  int recurring = 0;
  std::wstring error;
  std::wstring lines[appt::kTableRows];
};

// One query on a thread of its own (as the lock screen runs it), published
// and formatted.
Outcome RunQuery(HANDLE cancel = nullptr) {
  Outcome o;
  std::thread([&] {
    appt::Row rows[appt::kCapacity] = {};
    o.recurring = appt::kRecurringLimit;
    wchar_t error[128] = L"";
    o.filled = AppointmentsQuery(rows, appt::kCapacity, TRUE, &o.recurring, cancel, error);
    o.error = error;
    appt::Row table[appt::kTableRows];
    appt::Publish(rows, o.filled, table, appt::kTableRows);
    for (int k = 0; k < appt::kTableRows; ++k) {
      wchar_t line[256];
      if (AppointmentsFormatRow(table[k], line)) o.lines[k] = line;
    }
  }).join();
  return o;
}

TEST_F(AppointmentQuery, SampleWeekInOrderAndFormat) {
  ASSERT_TRUE(at::WriteCalendar(at::kSampleWeek));
  const Outcome o = RunQuery();
  EXPECT_EQ(o.error, L"");
  ASSERT_EQ(o.filled, 5);
  EXPECT_EQ(o.recurring, 3);  // birthday, stand-up, rent
  for (int k = 0; k < 5; ++k) EXPECT_EQ(o.lines[k], at::kSampleWeekLines[k]) << k;
  EXPECT_EQ(o.lines[5], L"");
}

TEST_F(AppointmentQuery, NoFileIsAnEmptyCalendar) {
  at::RemoveCalendar();
  const Outcome o = RunQuery();
  EXPECT_EQ(o.filled, 0);
  EXPECT_EQ(o.error, L"");
}

TEST_F(AppointmentQuery, UnreadableFileTriesTheLogonFiveTimes) {
  ASSERT_TRUE(at::MakeCalendarUnreadable());
  const LONG before = CalendarLogonCount();
  const Outcome o = RunQuery();
  EXPECT_EQ(CalendarLogonCount() - before, 5);
  EXPECT_EQ(o.error, L"Could not initialize Poom");
  EXPECT_EQ(o.filled, 0);
  EXPECT_EQ(AppointmentsComInitsHeld(), 0);
}

TEST_F(AppointmentQuery, NotICalendarAndTooBigCannotGetItems) {
  ASSERT_TRUE(at::WriteCalendar("Subject,Start Date\r\nDentist,1/14/2027\r\n"));
  EXPECT_EQ(RunQuery().error, L"Could not get Items");
  std::string big = at::kSampleWeek;
  big.resize(ical::kMaxFileBytes + 1, '\n');
  ASSERT_TRUE(at::WriteCalendar(big));
  EXPECT_EQ(RunQuery().error, L"Could not get Items");
  big.resize(ical::kMaxFileBytes);  // at the bound: read
  ASSERT_TRUE(at::WriteCalendar(big));
  const Outcome o = RunQuery();
  EXPECT_EQ(o.error, L"");
  EXPECT_EQ(o.filled, 5);
}

TEST_F(AppointmentQuery, ComStaysBalancedAlsoWhenAlreadyInitialised) {
  ASSERT_TRUE(at::WriteCalendar(at::kSampleWeek));
  HRESULT first = E_FAIL, during = E_FAIL, after = E_FAIL;
  int filled = -1;
  std::thread([&] {
    first = CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // the query's own call gets S_FALSE
    appt::Row rows[appt::kCapacity] = {};
    int recurring = appt::kRecurringLimit;
    wchar_t error[128] = L"";
    filled = AppointmentsQuery(rows, appt::kCapacity, TRUE, &recurring, nullptr, error);
    during = CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // still initialised: S_FALSE
    CoUninitialize();
    CoUninitialize();
    after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // nothing left over: S_OK
    CoUninitialize();
  }).join();
  EXPECT_EQ(first, S_OK);
  EXPECT_EQ(filled, 5);
  EXPECT_EQ(during, S_FALSE);
  EXPECT_EQ(after, S_OK);
}

TEST_F(AppointmentQuery, LastCloseOnAnotherThreadLeavesItsComAlone) {
  at::RemoveCalendar();
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE closed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  BOOL open = FALSE;
  std::thread worker([&] {
    open = AppointmentsOpenConnection();
    SetEvent(opened);
    WaitForSingleObject(closed, wt::kProcessMs);
    AppointmentsCloseConnection();  // this thread's own undo
  });
  WaitForSingleObject(opened, wt::kProcessMs);
  ASSERT_TRUE(open);
  EXPECT_EQ(AppointmentsComInitsHeld(), 1);
  HRESULT before = E_FAIL, still = E_FAIL;
  std::thread main([&] {
    before = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    AppointmentsCloseConnection();  // releases the objects, not this thread's COM
    still = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CoUninitialize();
    CoUninitialize();
  });
  main.join();
  EXPECT_EQ(before, S_OK);
  EXPECT_EQ(still, S_FALSE);
  SetEvent(closed);
  worker.join();
  EXPECT_EQ(AppointmentsComInitsHeld(), 0);
  CloseHandle(opened);
  CloseHandle(closed);
}

TEST_F(AppointmentQuery, CancelEndsALongReadWithoutAnError) {
  std::string text = "BEGIN:VCALENDAR\r\n";
  for (int i = 0; i < 2000; ++i) text += "BEGIN:VEVENT\r\nDTSTART:20270114T093000\r\nSUMMARY:Many\r\nEND:VEVENT\r\n";
  text += "END:VCALENDAR\r\n";
  ASSERT_TRUE(at::WriteCalendar(text));
  HANDLE cancel = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  const Outcome cut = RunQuery(cancel);
  EXPECT_EQ(cut.filled, 0);
  EXPECT_EQ(cut.error, L"");
  ResetEvent(cancel);
  const Outcome whole = RunQuery(cancel);
  EXPECT_EQ(whole.filled, appt::kCapacity);
  CloseHandle(cancel);
}

TEST_F(AppointmentQuery, SubjectsDecodedAndCutOnACharacterBoundary) {
  std::string summary(61, 'a');
  summary += "\xF0\x9F\x8E\x82\xF0\x9F\x8E\x82";  // two birthday cakes: only the first fits
  ASSERT_TRUE(at::WriteCalendar("\xEF\xBB\xBF"
                                "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART;VALUE=DATE:20270114\n"
                                "SUMMARY:" +
                                summary +
                                "\nEND:VEVENT\nBEGIN:VEVENT\nDTSTART:20270114T120000Z\n"
                                "SUMMARY:caf\xC3\xA9\\, t\xFF\\nx\nEND:VEVENT\nEND:VCALENDAR\n"));
  const Outcome o = RunQuery();
  ASSERT_EQ(o.filled, 2);
  EXPECT_EQ(o.lines[0], L"1/14/2027 - " + std::wstring(61, L'a') + L"\xD83C\xDF82");
  EXPECT_EQ(o.lines[1], L"1/14/2027 12:00 PM - caf\x00E9, t\xFFFD x");
}

TEST_F(AppointmentQuery, RemovedAndMovedOccurrencesAndZones) {
  // Today (Wednesday 13 January 2027, 10:00) the weekly 11:00 is removed,
  // the Friday series' occurrence is moved to Saturday; a Berlin 15:30 is
  // 14:30 here (UTC); a fortnightly series keeps its first start.
  ASSERT_TRUE(at::WriteCalendar(
      "BEGIN:VCALENDAR\r\n"
      "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\n"
      "DTSTART:19701025T030000\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\n"
      "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nDTSTART:19700329T020000\r\n"
      "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n"
      "BEGIN:VEVENT\r\nUID:w\r\nDTSTART:20260603T110000\r\nRRULE:FREQ=WEEKLY\r\n"
      "EXDATE:20270113T110000\r\nSUMMARY:Removed today\r\nEND:VEVENT\r\n"
      "BEGIN:VEVENT\r\nUID:f\r\nDTSTART:20260605T090000\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:Friday\r\nEND:VEVENT\r\n"
      "BEGIN:VEVENT\r\nUID:f\r\nRECURRENCE-ID:20270115T090000\r\nDTSTART:20270116T100000\r\n"
      "SUMMARY:Friday on Saturday\r\nEND:VEVENT\r\n"
      "BEGIN:VEVENT\r\nUID:b\r\nDTSTART;TZID=Europe/Berlin:20270114T153000\r\nSUMMARY:Berlin\r\nEND:VEVENT\r\n"
      "BEGIN:VEVENT\r\nUID:x\r\nDTSTART:20260602T080000\r\nRRULE:FREQ=WEEKLY;INTERVAL=2\r\n"
      "SUMMARY:Fortnightly\r\nEND:VEVENT\r\n"
      "END:VCALENDAR\r\n"));
  const Outcome o = RunQuery();
  ASSERT_EQ(o.filled, 2);
  EXPECT_EQ(o.lines[0], L"1/14/2027 2:30 PM - Berlin");
  EXPECT_EQ(o.lines[1], L"1/16/2027 10:00 AM - Friday on Saturday");
}

// One event at `when` (a floating DATE-TIME) as a calendar file.
std::string OneEvent(const char* when, const char* subject) {
  return std::string("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:") + when + "\r\nSUMMARY:" + subject +
         "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

TEST_F(AppointmentQuery, CalendarsFolderJoinsTheList) {
  struct File {
    const wchar_t* name;  // null: Calendar.ics
    std::string bytes;
  };
  std::string full = OneEvent("20270114T120000", "Full");  // exactly the size bound
  full.resize(ical::kMaxFileBytes, '\n');
  struct Case {
    const char* what;
    std::vector<File> files;
    std::vector<std::wstring> lines;
    std::wstring error;
  } cases[] = {
      {"every .ics of the folder, beside Calendar.ics",
       {{nullptr, OneEvent("20270115T090000", "Home")},
        {L"work.ics", OneEvent("20270114T090000", "Work")},
        {L"Club.ICS", OneEvent("20270116T090000", "Club")},
        {L"notes.txt", OneEvent("20270114T080000", "Not a calendar file")},
        {L"old.icsx", OneEvent("20270114T080000", "Not a calendar file")}},
       {L"1/14/2027 9:00 AM - Work", L"1/15/2027 9:00 AM - Home", L"1/16/2027 9:00 AM - Club"},
       L""},
      {"a broken file is left out, the others are listed",
       {{L"a.ics", "<html>no calendar</html>"}, {L"b.ics", OneEvent("20270114T090000", "Kept")}},
       {L"1/14/2027 9:00 AM - Kept"},
       L"Could not get Items"},
      {"no more than the total bound is read",
       {{L"1.ics", full}, {L"2.ics", full}, {L"3.ics", full}, {L"4.ics", full}, {L"5.ics", full}},
       {L"1/14/2027 12:00 PM - Full", L"1/14/2027 12:00 PM - Full", L"1/14/2027 12:00 PM - Full",
        L"1/14/2027 12:00 PM - Full"},
       L"Could not get Items"},
  };
  for (const Case& c : cases) {
    at::RemoveCalendar();
    for (const File& f : c.files)
      ASSERT_TRUE(f.name == nullptr ? at::WriteCalendar(f.bytes) : at::WriteFolderCalendar(f.name, f.bytes)) << c.what;
    const Outcome o = RunQuery();
    EXPECT_EQ(o.error, c.error) << c.what;
    ASSERT_EQ(o.filled, static_cast<int>(c.lines.size())) << c.what;
    for (size_t k = 0; k < c.lines.size(); ++k) EXPECT_EQ(o.lines[k], c.lines[k]) << c.what;
  }
}

}  // namespace
