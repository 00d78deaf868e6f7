// The appointments panel on the real lock screen at a pinned clock: the
// lines drawn for a calendar of timed, all-day, weekly, monthly and yearly
// items, the status texts of an empty calendar, and the failure text of a
// file that is not iCalendar (centred, warning red). What was drawn is read
// back from Wine's text trace; the colour from the screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/support/appointments_support.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/support.h"

namespace {

class AppointmentsScreen : public lt::LockTest {
 protected:
  void SetUp() override {
    lt::LockTest::SetUp();
    wt::SetSetting(L"Button_1", VK_F1);
    wt::SetSetting(L"Button_2", VK_F2);
    wt::Device(L"ac online");
    wt::Device(L"battery 80");
    ASSERT_EQ(wt::Device(L"clock \"2027-01-13 10:00:00\""), 0);  // a Wednesday
  }
  void TearDown() override {
    lt::CloseLock(lock_);
    at::RemoveCalendar();
    lt::LockTest::TearDown();
  }
  std::string Dump() { return lt::DrawnDump(lock_); }
};

TEST_F(AppointmentsScreen, WeekOfItemsFirstLinesInOrderAndFormat) {
  ASSERT_TRUE(at::WriteCalendar(at::kSampleWeek));
  lock_ = lt::StartTracedLock();
  ASSERT_NE(lock_.window, nullptr);
  const int second = lt::WaitDrawn(lock_, L"1/15/2027 - Holiday", wt::kProcessMs);
  ASSERT_GE(second, 1) << Dump();
  const std::vector<lt::Drawn> drawn = lt::DrawnTexts(lock_);
  EXPECT_EQ(drawn[second - 1].text, L"1/14/2027 9:30 AM - Dentist") << Dump();
  EXPECT_GT(drawn[second].rect.top, drawn[second - 1].rect.top);
  EXPECT_EQ(drawn[second].flags & DT_CENTER, 0u);
  for (const lt::Drawn& d : drawn) {
    EXPECT_EQ(d.text.find(L"Rent"), std::wstring::npos) << "no room for a third line";
    EXPECT_EQ(d.text.find(L"Later"), std::wstring::npos);
    EXPECT_EQ(d.text.find(L"Yesterday"), std::wstring::npos);
  }
}

// The device in New York on Wednesday 17 March 2027, after America's change
// to summer time and before Europe's: a weekly series at 09:00 in Berlin
// (named without a VTIMEZONE: Wine's zone data) is at 04:00 here, a weekly
// one at 14:00 UTC at 10:00; the second comes from a file of the Calendars
// folder.
TEST_F(AppointmentsScreen, SeriesInOtherZonesAtTheirOwnTimeInNewYork) {
  ASSERT_EQ(wt::Device(L"clock \"2027-03-17 10:00:00\""), 0);
  ASSERT_TRUE(at::WriteCalendar("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:b\r\n"
                                "DTSTART;TZID=Europe/Berlin:20260105T090000\r\nRRULE:FREQ=WEEKLY\r\n"
                                "SUMMARY:Berlin\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"));
  ASSERT_TRUE(at::WriteFolderCalendar(L"work.ics", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:w\r\n"
                                                   "DTSTART:20260108T140000Z\r\nRRULE:FREQ=WEEKLY\r\n"
                                                   "SUMMARY:Work call\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"));
  lock_ = lt::StartTracedLock(L"America/New_York");
  ASSERT_NE(lock_.window, nullptr);
  const int second = lt::WaitDrawn(lock_, L"3/22/2027 4:00 AM - Berlin", wt::kProcessMs);
  ASSERT_GE(second, 1) << Dump();
  EXPECT_EQ(lt::DrawnTexts(lock_)[second - 1].text, L"3/18/2027 10:00 AM - Work call") << Dump();
}

TEST_F(AppointmentsScreen, EmptyCalendarReadsThenNoAppointments) {
  at::RemoveCalendar();  // no file: an empty calendar
  lock_ = lt::StartTracedLock();
  ASSERT_NE(lock_.window, nullptr);
  const int reading = lt::WaitDrawn(lock_, L"Reading appointments ...", wt::kProcessMs);
  const int none = lt::WaitDrawn(lock_, L"No Appointments", wt::kProcessMs);
  ASSERT_GE(reading, 0) << Dump();
  ASSERT_GE(none, 0) << Dump();
  EXPECT_LT(reading, none);
}

TEST_F(AppointmentsScreen, NotICalendarShowsCouldNotGetItemsCentredInRed) {
  ASSERT_TRUE(at::WriteCalendar("<html><body>This is no calendar</body></html>\r\n"));
  lock_ = lt::StartTracedLock();
  ASSERT_NE(lock_.window, nullptr);
  const int at = lt::WaitDrawn(lock_, L"Could not get Items", wt::kProcessMs);
  ASSERT_GE(at, 0) << Dump();
  const lt::Drawn d = lt::DrawnTexts(lock_)[at];
  EXPECT_TRUE(d.flags & DT_CENTER);
  EXPECT_TRUE(d.flags & DT_SINGLELINE);
  // Warning red somewhere in the line's box.
  bool red = false;
  wt::WaitFor(
      [&] {
        for (int y = d.rect.top; y < d.rect.bottom && !red; ++y)
          for (int x = d.rect.left; x < d.rect.right && !red; ++x) {
            const COLORREF c = wt::ScreenPixel(x, y);
            red = GetRValue(c) >= 200 && GetGValue(c) < 60 && GetBValue(c) < 60;
          }
        return red;
      },
      wt::kStepMs);
  EXPECT_TRUE(red);
}

TEST_F(AppointmentsScreen, UnreadableCalendarShowsCouldNotInitializePoom) {
  ASSERT_TRUE(at::MakeCalendarUnreadable());
  lock_ = lt::StartTracedLock();
  ASSERT_NE(lock_.window, nullptr);
  EXPECT_GE(lt::WaitDrawn(lock_, L"Could not initialize Poom", wt::kProcessMs), 0) << Dump();
}

}  // namespace
