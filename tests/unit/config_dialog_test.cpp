// Tollwick as a PC dialog: which screens get it, its width, where "Ok" and
// "Cancel" go, and its place in the work area.
#include "config/core/dialog.h"

#include <gtest/gtest.h>

namespace {

TEST(ConfigDialog, OnlyScreensWiderThanEveryDeviceClass) {
  for (int w : {240, 320, 480, 640, 800}) EXPECT_FALSE(dialog::IsPcScreen(w)) << w;
  for (int w : {801, 1024, 1080, 1366, 1920, 3840}) EXPECT_TRUE(dialog::IsPcScreen(w)) << w;
}

// At 240 pixels with LH 16 and CW 7: the full row is 192 wide, the number
// fields start at x 118, the labels at 5 and 12.
TEST(ConfigDialog, NarrowestClassThatHoldsTheTexts) {
  const layout::Metrics font{0, 0, 0, 16, 16, 7};
  struct Case {
    dialog::TextWidths widths;
    int width;
  } cases[] = {
      {{150, 100, 90}, 240}, {{168, 113, 106}, 240},  // exactly fitting
      {{169, 100, 90}, 480}, {{150, 114, 90}, 480},  {{150, 100, 107}, 480},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dialog::ClientWidth(c.widths, font), c.width)
        << c.widths.widestCheckBox << " " << c.widths.reactivationLabel << " " << c.widths.activationLabel;
  }
  EXPECT_EQ(dialog::ClientWidth({160, 100, 90}, {0, 0, 0, 24, 22, 7}), 240);
  EXPECT_EQ(dialog::ClientWidth({161, 100, 90}, {0, 0, 0, 24, 22, 7}), 480);
}

// At both widths and a range of fonts the two buttons lie below every
// control and label, inside the client, "Ok" left of "Cancel", unoverlapped.
TEST(ConfigDialog, ButtonsBelowEverythingInsideTheClient) {
  for (int width : {240, 480}) {
    for (int lh : {13, 16, 19, 24, 31}) {
      SCOPED_TRACE(testing::Message() << width << " LH " << lh);
      const layout::Metrics m{0, 0, width, lh, lh - lh / 8, lh / 2};
      const dialog::Buttons b = dialog::PlaceButtons(m);
      layout::Box boxes[layout::kControlCount];
      layout::Rect labels[layout::kLabelCount];
      layout::PlaceControls(m, boxes);
      layout::PlaceLabels(m, labels);
      int32_t lowest = 0;
      for (const layout::Box& x : boxes) lowest = x.y + x.h > lowest ? x.y + x.h : lowest;
      for (const layout::Rect& r : labels) lowest = r.bottom > lowest ? r.bottom : lowest;
      for (const layout::Box& x : {b.ok, b.cancel}) {
        EXPECT_GT(x.y, lowest);
        EXPECT_GT(x.w, 0);
        EXPECT_GE(x.h, lh);
        EXPECT_GE(x.x, 0);
        EXPECT_LE(x.x + x.w, width);
        EXPECT_LT(x.y + x.h, b.clientHeight);
      }
      EXPECT_LT(b.ok.x + b.ok.w, b.cancel.x);
      EXPECT_EQ(b.ok.y, b.cancel.y);
    }
  }
}

TEST(ConfigDialog, CentredInTheWorkAreaTopLeftAlwaysInside) {
  struct Case {
    layout::Rect work;
    int w, h;
    layout::Rect want;
  } cases[] = {
      {{0, 0, 1366, 728}, 256, 400, {555, 164, 811, 564}},
      {{0, 0, 1920, 1040}, 496, 600, {712, 220, 1208, 820}},
      {{100, 40, 1380, 1064}, 250, 300, {615, 402, 865, 702}},  // a taskbar at the top, a second monitor
      {{0, 0, 1024, 400}, 300, 500, {362, 0, 662, 500}},        // taller than the area: the caption stays
  };
  for (const Case& c : cases) {
    const layout::Rect r = dialog::CentreIn(c.work, c.w, c.h);
    EXPECT_EQ(r.left, c.want.left);
    EXPECT_EQ(r.top, c.want.top);
    EXPECT_EQ(r.right, c.want.right);
    EXPECT_EQ(r.bottom, c.want.bottom);
  }
}

}  // namespace
