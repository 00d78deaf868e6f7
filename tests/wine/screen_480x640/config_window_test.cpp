// The configuration window on a 480x640 screen: as wide as the screen, and
// every control where the layout puts it for this width and the real font.
#include <gtest/gtest.h>

#include "config/core/controls.h"
#include "config/core/layout.h"
#include "tests/wine/support/config_support.h"
#include "tests/wine/support/support.h"

namespace {

class ConfigWindow480 : public wt::TollwickTest {};

TEST_F(ConfigWindow480, ScreenWideAndEveryControlPlaced) {
  t_ = wt::StartTollwick();
  ASSERT_NE(t_.window, nullptr);
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 480);
  layout::Metrics m = wt::MetricsOf(t_.window);
  EXPECT_EQ(m.R - m.L, 480);
  layout::Box want[layout::kControlCount];
  layout::PlaceControls(m, want);
  EXPECT_EQ(want[layout::kButton1].w, 192);  // (480 - 96) / 2
  for (int i = 0; i < layout::kControlCount; ++i) {
    SCOPED_TRACE(i);
    RECT r = wt::RectInParent(wt::ControlOf(t_.window, controls::kDefinitions[i].id));
    EXPECT_EQ(r.left, want[i].x);
    EXPECT_EQ(r.top, want[i].y);
    EXPECT_EQ(r.right - r.left, want[i].w);
    EXPECT_EQ(r.bottom - r.top, want[i].h);
  }
  RECT w, b;
  GetWindowRect(t_.window, &w);
  HWND bar = wt::MenuBarOf(t_.window);
  ASSERT_NE(bar, nullptr);
  GetWindowRect(bar, &b);
  EXPECT_EQ(b.bottom, 640);
  EXPECT_EQ(b.right - b.left, 480);
  EXPECT_EQ(w.bottom, b.top);
  layout::Rect labels[layout::kLabelCount];
  layout::PlaceLabels(m, labels);
  for (int i = 0; i < layout::kLabelCount; ++i) {
    SCOPED_TRACE(i);
    int ink = 0, differ = -1;
    wt::WaitFor([&] { return (differ = wt::LabelMismatches(t_.window, labels, i, &ink)) == 0; }, wt::kStepMs);
    EXPECT_EQ(differ, 0);
    EXPECT_GT(ink, 20);
  }
  EXPECT_EQ(wt::CloseTollwick(t_, 114), 0);
}

}  // namespace
