// The appointments panel on a 480x640 screen, where the whole sample week
// fits: every line in start order and format, one under the other.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/support/appointments_support.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/support.h"

namespace {

class AppointmentsWeek : public lt::LockTest {
 protected:
  void SetUp() override {
    lt::LockTest::SetUp();
    wt::SetSetting(L"Button_1", VK_F1);
    wt::SetSetting(L"Button_2", VK_F2);
    wt::Device(L"ac online");
    wt::Device(L"battery 80");
    ASSERT_EQ(wt::Device(L"clock \"2027-01-13 10:00:00\""), 0);
  }
  void TearDown() override {
    lt::CloseLock(lock_);
    at::RemoveCalendar();
    lt::LockTest::TearDown();
  }
};

TEST_F(AppointmentsWeek, AllLinesInOrderAndFormat) {
  ASSERT_TRUE(at::WriteCalendar(at::kSampleWeek));
  lock_ = lt::StartTracedLock();
  ASSERT_NE(lock_.window, nullptr);
  const int last = lt::WaitDrawn(lock_, at::kSampleWeekLines[4], wt::kProcessMs);
  ASSERT_GE(last, 4);
  const std::vector<lt::Drawn> drawn = lt::DrawnTexts(lock_);
  for (int i = 0; i < 5; ++i) {
    const lt::Drawn& d = drawn[last - 4 + i];
    EXPECT_EQ(d.text, at::kSampleWeekLines[i]);
    EXPECT_EQ(d.flags & DT_CENTER, 0u);
    if (i > 0) EXPECT_GT(d.rect.top, drawn[last - 5 + i].rect.top);
  }
  // Nothing after the five rows: "Later" and "Yesterday" are not listed.
  for (const lt::Drawn& d : drawn) {
    EXPECT_EQ(d.text.find(L"Later"), std::wstring::npos);
    EXPECT_EQ(d.text.find(L"Yesterday"), std::wstring::npos);
  }
}

}  // namespace
