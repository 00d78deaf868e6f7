// The configuration window's layout: the worked 240-pixel case control by
// control and label by label, and how the places follow the metrics.
#include "config/core/layout.h"

#include <gtest/gtest.h>

namespace {

using layout::Box;
using layout::Metrics;
using layout::Rect;

const Metrics kWorked{0, 0, 240, 16, 16, 7};

struct ControlCase {
  layout::Control c;
  Box want;
};

TEST(ConfigLayout, WorkedCaseControlByControl) {
  Box got[layout::kControlCount];
  layout::PlaceControls(kWorked, got);
  const ControlCase cases[] = {
      {layout::kButton1, {12, 49, 96, 24}},           {layout::kButton2, {132, 49, 96, 24}},
      {layout::kIgnore1, {12, 96, 96, 24}},           {layout::kIgnore2, {132, 96, 96, 24}},
      {layout::kDoubleClick, {5, 126, 192, 24}},      {layout::kAutoRun, {5, 147, 192, 24}},
      {layout::kStartup, {5, 168, 192, 24}},          {layout::kAnalog, {12, 208, 96, 24}},
      {layout::kDigital, {132, 208, 96, 24}},         {layout::kTimeOutField, {118, 234, 35, 19}},
      {layout::kTimeOutSpin, {153, 234, 40, 19}},     {layout::kOnAC, {5, 252, 192, 24}},
      {layout::kActivationField, {118, 277, 35, 19}}, {layout::kActivationSpin, {153, 277, 20, 19}},
  };
  ASSERT_EQ(sizeof(cases) / sizeof(cases[0]), static_cast<size_t>(layout::kControlCount));
  for (const ControlCase& k : cases) {
    SCOPED_TRACE(k.c);
    EXPECT_EQ(got[k.c].x, k.want.x);
    EXPECT_EQ(got[k.c].y, k.want.y);
    EXPECT_EQ(got[k.c].w, k.want.w);
    EXPECT_EQ(got[k.c].h, k.want.h);
  }
}

struct LabelCase {
  layout::Label l;
  Rect want;
  const wchar_t* text;
};

TEST(ConfigLayout, WorkedCaseLabelByLabel) {
  Rect got[layout::kLabelCount];
  layout::PlaceLabels(kWorked, got);
  const LabelCase cases[] = {
      {layout::kUnlockLabel, {5, 30, 240, 46}, L"Unlock buttons:"},
      {layout::kIgnoreLabel, {5, 78, 240, 94}, L"Ignore buttons:"},
      {layout::kClockLabel, {5, 190, 240, 206}, L"Type of clock:"},
      {layout::kReactivationLabel, {5, 234, 240, 250}, L"Re-Activation Time:"},
      {layout::kSecondsLabel, {181, 234, 240, 250}, L"seconds"},
      {layout::kActivationLabel, {12, 277, 240, 298}, L"Activation Time:"},
      {layout::kMinutesLabel, {181, 277, 240, 298}, L"minutes"},
  };
  ASSERT_EQ(sizeof(cases) / sizeof(cases[0]), static_cast<size_t>(layout::kLabelCount));
  for (const LabelCase& k : cases) {
    SCOPED_TRACE(k.l);
    EXPECT_EQ(got[k.l].left, k.want.left);
    EXPECT_EQ(got[k.l].top, k.want.top);
    EXPECT_EQ(got[k.l].right, k.want.right);
    EXPECT_EQ(got[k.l].bottom, k.want.bottom);
    EXPECT_STREQ(layout::kLabelTexts[k.l], k.text);
  }
}

// The AC row adds trunc(3.7 * LH), a product taken in double precision:
// 59.2 -> 59 for LH = 16, 48.1 -> 48 for LH = 13, 37 for LH = 10.
TEST(ConfigLayout, AcRowTruncatesTheProduct) {
  struct Case {
    int32_t LH;
    int32_t want;
  } cases[] = {
      {16, 192 + 59 + 1}, {13, 156 + 48 + 1}, {10, 120 + 37 + 1}, {21, 252 + 77 + 1},  // 77.7
  };
  for (const Case& c : cases) {
    Box got[layout::kControlCount];
    layout::PlaceControls(Metrics{0, 0, 240, c.LH, 16, 7}, got);
    EXPECT_EQ(got[layout::kOnAC].y, c.want) << "LH " << c.LH;
  }
}

// Controls move with the client's left and top; label lefts 5 and R / 20
// do not move with the left.
TEST(ConfigLayout, OffsetsFollowLeftAndTopWhereTheRulesSay) {
  Box base[layout::kControlCount], moved[layout::kControlCount];
  layout::PlaceControls(kWorked, base);
  layout::PlaceControls(Metrics{3, 10, 240, 16, 16, 7}, moved);
  // Columns built on L move by 3, the right column and the fields (built on
  // R) do not; every row moves by 10.
  EXPECT_EQ(moved[layout::kButton1].x, base[layout::kButton1].x + 3);
  EXPECT_EQ(moved[layout::kDoubleClick].x, base[layout::kDoubleClick].x + 3);
  EXPECT_EQ(moved[layout::kButton2].x, base[layout::kButton2].x);
  EXPECT_EQ(moved[layout::kTimeOutField].x, base[layout::kTimeOutField].x);
  for (int i = 0; i < layout::kControlCount; ++i) EXPECT_EQ(moved[i].y, base[i].y + 10) << i;

  Rect lb[layout::kLabelCount], lm[layout::kLabelCount];
  layout::PlaceLabels(kWorked, lb);
  layout::PlaceLabels(Metrics{3, 10, 240, 16, 16, 7}, lm);
  for (int i = 0; i < layout::kLabelCount; ++i) {
    EXPECT_EQ(lm[i].left, lb[i].left) << i;
    EXPECT_EQ(lm[i].top, lb[i].top + 10) << i;
  }
}

// A wider screen and another font: M = 24, W = 192, F = 384, BH = 6*20/4.
TEST(ConfigLayout, FourEightyWideWithALargerFont) {
  Box got[layout::kControlCount];
  layout::PlaceControls(Metrics{0, 0, 480, 20, 19, 9}, got);
  EXPECT_EQ(got[layout::kButton1].x, 24);
  EXPECT_EQ(got[layout::kButton1].y, 30 + 20 + 9);
  EXPECT_EQ(got[layout::kButton1].w, 192);
  EXPECT_EQ(got[layout::kButton1].h, 30);
  EXPECT_EQ(got[layout::kButton2].x, 480 - 24 - 192);
  EXPECT_EQ(got[layout::kDoubleClick].w, 384);
  EXPECT_EQ(got[layout::kTimeOutField].x, 480 - 24 - 192 - 18);
  EXPECT_EQ(got[layout::kTimeOutField].w, 45);
  EXPECT_EQ(got[layout::kTimeOutField].h, 22);
  EXPECT_EQ(got[layout::kTimeOutSpin].x, 480 - 24 - 192 + 27);
  EXPECT_EQ(got[layout::kTimeOutSpin].w, 40);
  EXPECT_EQ(got[layout::kActivationSpin].w, 20);
  EXPECT_EQ(got[layout::kActivationField].y, 5 * 21 + 240);
  Rect labels[layout::kLabelCount];
  layout::PlaceLabels(Metrics{0, 0, 480, 20, 19, 9}, labels);
  EXPECT_EQ(labels[layout::kActivationLabel].left, 24);
  EXPECT_EQ(labels[layout::kSecondsLabel].left, 480 - 24 - 192 + 63);
  EXPECT_EQ(labels[layout::kIgnoreLabel].top, (30 + 6 + 20) + 30 + 8);
}

// k * LH / 4 truncates after the product, not before: LH = 18 gives
// 6 * 18 / 4 = 27, not 6 * (18 / 4) = 24.
TEST(ConfigLayout, QuarterLinesTruncateAfterTheProduct) {
  Box got[layout::kControlCount];
  layout::PlaceControls(Metrics{0, 0, 240, 18, 16, 7}, got);
  EXPECT_EQ(got[layout::kButton1].h, 27);
  EXPECT_EQ(got[layout::kButton1].y, 27 + 18 + 9);
  EXPECT_EQ(got[layout::kStartup].y, 54 + 30 * 18 / 4);  // 135
}

}  // namespace
