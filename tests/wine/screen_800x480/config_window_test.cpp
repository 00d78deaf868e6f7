// The configuration window on an 800x480 screen with a taskbar (the
// harness's work area ends 40 pixels above the bottom): a device class, so
// still the phone's window, but it and its "Ok"/"Cancel" bar lie in the
// work area, the bar at its bottom.
#include <gtest/gtest.h>

#include "tests/wine/support/config_support.h"
#include "tests/wine/support/support.h"

namespace {

class ConfigWindow800 : public wt::TollwickTest {};

TEST_F(ConfigWindow800, WindowAndBarInTheWorkArea) {
  RECT work;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  ASSERT_EQ(work.bottom, 440);
  t_ = wt::StartTollwick();
  ASSERT_NE(t_.window, nullptr);
  EXPECT_EQ(GetWindowLongW(t_.window, GWL_STYLE) & WS_CAPTION, 0);
  HWND bar = wt::MenuBarOf(t_.window);
  ASSERT_NE(bar, nullptr);
  RECT w, b;
  GetWindowRect(t_.window, &w);
  GetWindowRect(bar, &b);
  EXPECT_EQ(b.bottom, work.bottom);
  EXPECT_EQ(b.left, work.left);
  EXPECT_EQ(b.right, work.right);
  EXPECT_EQ(w.top, work.top);
  EXPECT_EQ(w.right - w.left, 800);
  EXPECT_EQ(w.bottom, b.top);
  EXPECT_EQ(wt::CloseTollwick(t_, 114), 0);
}

}  // namespace
