// The keys the configuration program captures are the keys the lock screen
// compares: an F-key, a letter and Alt captured in Tollwick, saved with
// "Ok", then unlock a real Corvane. A character code (0x61 for 'a') or
// the window message's Alt (0x12) in place of the hook's 0xA4 would leave a
// lock screen that these keys never end.
#include <gtest/gtest.h>

#include "tests/wine/support/config_support.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/support.h"

namespace {

class ConfigKeys : public lt::LockTest {
 protected:
  void SetUp() override {
    lt::LockTest::SetUp();
    wt::Device(L"ac online");
    wt::Device(L"battery 80");
  }
  void TearDown() override {
    wt::CloseHandles(t_);
    wt::EndJob();
    lt::LockTest::TearDown();
  }
  // Captures `first` as Button_1 and `second` as Button_2 and saves them.
  void Capture(WORD first, WORD second, const wchar_t* caption1, const wchar_t* caption2) {
    t_ = wt::StartTollwick();
    ASSERT_NE(t_.window, nullptr);
    ASSERT_TRUE(wt::WaitFor([&] { return GetForegroundWindow() == t_.window; }, wt::kStepMs));
    wt::Click(wt::ControlOf(t_.window, 0x8801));
    wt::Tap(first);
    ASSERT_TRUE(wt::WaitFor([&] { return wt::TextOf(wt::ControlOf(t_.window, 0x8801)) == caption1; }, wt::kStepMs));
    wt::Click(wt::ControlOf(t_.window, 0x8802));
    wt::Tap(second);
    ASSERT_TRUE(wt::WaitFor([&] { return wt::TextOf(wt::ControlOf(t_.window, 0x8802)) == caption2; }, wt::kStepMs));
    ASSERT_EQ(wt::CloseTollwick(t_, 113), 0);
    wt::CloseHandles(t_);
  }
  // Locks, holds `first`, presses `second`: the lock screen must end.
  void Unlock(WORD first, WORD second) {
    Lock();
    wt::Key(first, false);
    ASSERT_TRUE(lt::WaitProbe(lock_.window, kProbeKeyDowns, 1, wt::kStepMs));
    wt::Key(second, false);
    EXPECT_EQ(wt::WaitExit(lock_.process, wt::kProcessMs), 0);
    wt::Key(second, true);
    wt::Key(first, true);
    lt::CloseLock(lock_);
  }
  wt::Tollwick t_;
};

TEST_F(ConfigKeys, AnFKeyAndALetterCapturedInTollwickUnlockCorvane) {
  Capture(VK_F5, 'A', L"0x074", L"0x041");
  DWORD b1 = 0, b2 = 0;
  ASSERT_TRUE(wt::GetSetting(L"Button_1", &b1));
  ASSERT_TRUE(wt::GetSetting(L"Button_2", &b2));
  EXPECT_EQ(b1, static_cast<DWORD>(VK_F5));
  EXPECT_EQ(b2, static_cast<DWORD>('A'));
  Unlock(VK_F5, 'A');
}

TEST_F(ConfigKeys, AltCapturedInTollwickUnlocksCorvane) {
  Capture(VK_MENU, VK_F7, L"0x0a4", L"0x076");
  DWORD b1 = 0;
  ASSERT_TRUE(wt::GetSetting(L"Button_1", &b1));
  EXPECT_EQ(b1, 0xA4u);
  Unlock(VK_MENU, VK_F7);
}

}  // namespace
