// The appointments panel on a 480x640 screen, where the whole sample week
// fits: every line in start order and format, one under the other.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/support/appointments_support.h"
#include "tests/wine/support/support.h"

namespace {

class AppointmentsWeek : public wt::SuiteTest {
 protected:
  void SetUp() override {
    wt::SuiteTest::SetUp();
    wt::SetSetting(L"Button_1", VK_F1);
    wt::SetSetting(L"Button_2", VK_F2);
    wt::Device(L"ac online");
    wt::Device(L"battery 80");
    ASSERT_EQ(wt::Device(L"clock \"2027-01-13 10:00:00\""), 0);
  }
  void TearDown() override {
    at::CloseTracedLock(lock_);
    at::RemoveCalendar();
    wt::SuiteTest::TearDown();
  }
  at::TracedLock lock_;
};

TEST_F(AppointmentsWeek, AllLinesInOrderAndFormat) {
  ASSERT_TRUE(at::WriteCalendar(at::kSampleWeek));
  lock_ = at::StartTracedLock();
  ASSERT_NE(lock_.window, nullptr);
  const int last = at::WaitDrawn(lock_, at::kSampleWeekLines[4], 10000);
  ASSERT_GE(last, 4);
  const std::vector<at::Drawn> drawn = at::DrawnTexts(lock_);
  for (int i = 0; i < 5; ++i) {
    const at::Drawn& d = drawn[last - 4 + i];
    EXPECT_EQ(d.text, at::kSampleWeekLines[i]);
    EXPECT_EQ(d.flags & DT_CENTER, 0u);
    if (i > 0) EXPECT_GT(d.rect.top, drawn[last - 5 + i].rect.top);
  }
  // Nothing after the five rows: "Later" and "Yesterday" are not listed.
  for (const at::Drawn& d : drawn) {
    EXPECT_EQ(d.text.find(L"Later"), std::wstring::npos);
    EXPECT_EQ(d.text.find(L"Yesterday"), std::wstring::npos);
  }
}

}  // namespace
