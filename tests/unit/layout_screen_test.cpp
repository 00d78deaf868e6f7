// The lock screen's composition: skin choice, fonts, colours and every
// region, for the screens and settings the lock screen meets.
#include "lockscreen/core/layout.h"

#include <gtest/gtest.h>

#include <string>

#include "lockscreen/core/clock_geometry.h"

namespace {

using layout::FontId;
using layout::Rect;
using layout::ScreenInput;
using layout::ScreenLayout;
using layout::TextMetrics;

// Distinct metrics per font, so that a region computed from the wrong font
// shows: {height, external leading, average character width}.
ScreenInput Input(int w, int h, int clockType) {
  ScreenInput in;
  in.client = {0, 0, w, h};
  in.metrics[layout::kLargeStatusFont] = {16, 1, 8};
  in.metrics[layout::kSmallStatusFont] = {13, 0, 6};
  in.metrics[layout::kOwnerFont] = {18, 0, 8};
  in.metrics[layout::kDateFont] = {17, 1, 8};
  in.metrics[layout::kTimeFont] = {33, 2, 15};
  in.metrics[layout::kAppointmentFont] = {14, 1, 7};
  in.metrics[layout::kMessageFont] = {15, 1, 7};
  in.dateLength = 18;
  in.clockType = clockType;
  in.skinSize = layout::ChooseSkin(w, h).skinSize;
  in.colours = layout::ResolveColours(skin::SkinSettings{}, 1);
  return in;
}

int CountBoxes(const ScreenInput& in, const ScreenLayout& l, Rect* first = nullptr) {
  const Rect panel =
      layout::AppointmentsRect(in.client, l.clockRect, in.clockType, in.metrics[layout::kMessageFont], l.messagesRect);
  const TextMetrics& font = in.metrics[l.appointmentFont];
  Rect box = layout::FirstAppointmentBox(panel, font);
  if (first) *first = box;
  int n = 0;
  while (layout::AppointmentBoxFits(box, l.messagesRect) && n < 1000) {
    ++n;
    box = layout::NextAppointmentBox(box, font);
  }
  return n;
}

std::wstring Path(int clockType, bool landscape, const wchar_t* file) {
  wchar_t out[layout::kImagePathCapacity];
  EXPECT_TRUE(layout::ImagePath(out, layout::kImagePathCapacity, clockType, landscape, file));
  return out;
}

TEST(LayoutSkinChoice, ExactSizesOnly) {
  struct Case {
    int w, h, skinSize;
    const wchar_t* file;
  } cases[] = {
      {800, 480, 800, L"hd.jpg"},   {480, 800, 800, L"hd.jpg"},   {640, 480, 640, L"vga.jpg"},
      {480, 640, 640, L"vga.jpg"},  {480, 480, 480, L"480.jpg"},  {320, 320, 320, L"320.jpg"},
      {240, 240, 240, L"240.jpg"},  {240, 320, 320, L"qvga.jpg"}, {320, 240, 320, L"qvga.jpg"},
      {640, 640, 320, L"qvga.jpg"}, {600, 800, 320, L"qvga.jpg"}, {800, 600, 320, L"qvga.jpg"},
      {481, 640, 320, L"qvga.jpg"}, {0, 0, 320, L"qvga.jpg"},     {-800, -480, 320, L"qvga.jpg"},
  };
  for (const auto& c : cases) {
    const layout::SkinChoice s = layout::ChooseSkin(c.w, c.h);
    EXPECT_EQ(s.skinSize, c.skinSize) << c.w << "x" << c.h;
    EXPECT_EQ(std::wstring(s.fileName), c.file) << c.w << "x" << c.h;
  }
}

TEST(LayoutSkinChoice, PathsAndOrientation) {
  // 240x320 digital: both qvga paths in the digital folder.
  EXPECT_EQ(Path(2, false, L"qvga.jpg"), L"skin\\digital\\portrait_qvga.jpg");
  EXPECT_EQ(Path(2, true, L"qvga.jpg"), L"skin\\digital\\landscape_qvga.jpg");
  EXPECT_EQ(Path(1, false, L"vga.jpg"), L"skin\\analog\\portrait_vga.jpg");
  for (int type : {0, 3, 7, -1}) EXPECT_EQ(std::wstring(layout::SkinFolder(type)), L"skin\\digital\\");
  // 800x480 at creation, turned upright later: the portrait hd picture.
  const layout::SkinChoice hd = layout::ChooseSkin(800, 480);
  EXPECT_TRUE(layout::IsLandscape({0, 0, 800, 480}));
  EXPECT_FALSE(layout::IsLandscape({0, 0, 480, 800}));
  EXPECT_EQ(Path(2, layout::IsLandscape({0, 0, 480, 800}), hd.fileName), L"skin\\digital\\portrait_hd.jpg");
  // A square screen always takes the landscape picture.
  EXPECT_TRUE(layout::IsLandscape({0, 0, 240, 240}));
}

TEST(LayoutSkinChoice, ImagePathIsBounded) {
  const std::wstring full = L"skin\\digital\\landscape_qvga.jpg";
  wchar_t out[64];
  EXPECT_TRUE(layout::ImagePath(out, full.size() + 1, 2, true, L"qvga.jpg"));
  EXPECT_EQ(std::wstring(out), full);
  EXPECT_FALSE(layout::ImagePath(out, full.size(), 2, true, L"qvga.jpg"));
  EXPECT_EQ(out[0], L'\0');
  EXPECT_FALSE(layout::ImagePath(out, 0, 2, true, L"qvga.jpg"));
}

TEST(LayoutFonts, HeightsIn64BitsClamped) {
  struct Case {
    int32_t dpi, points, height;
  } cases[] = {
      {96, 11, 14},
      {96, 25, 33},
      {96, 9, 12},
      {96, 10, 13},
      {192, 11, 29},
      {72, 11, 11},
      {96, 0, 0},
      {96, -11, -14},  // truncation toward zero, not down
      {96, INT32_MAX, layout::kMaxFontHeight},
      {96, INT32_MIN, -layout::kMaxFontHeight},
      {INT32_MAX, INT32_MAX, layout::kMaxFontHeight},
      {96, 1536, layout::kMaxFontHeight},
      {96, 1535, 2046},
  };
  for (const auto& c : cases) EXPECT_EQ(layout::FontHeight(c.dpi, c.points), c.height) << c.dpi << " " << c.points;
}

// The seven fonts as the paint makes them on a 96-dpi screen: the two
// status fonts fixed (11 pt bold, 10 pt plain), the others at the skin's
// sizes (bold, the time heavy), or the built-in sizes without a file.
TEST(LayoutFonts, TheSevenFontsAsMade) {
  skin::SkinSettings file;
  file.size[skin::kOwnerFontSize] = 12;
  file.size[skin::kDateFontSize] = 13;
  file.size[skin::kTimeFontSize] = 30;
  file.size[skin::kAppointmentFontSize] = 8;
  file.size[skin::kMessageFontSize] = 14;
  struct Case {
    FontId font;
    int32_t height, weight;  // with the file's sizes
    int32_t builtInHeight;   // without a file
  } cases[] = {
      {layout::kLargeStatusFont, 14, 700, 14}, {layout::kSmallStatusFont, 13, 400, 13},
      {layout::kOwnerFont, 16, 700, 14},       {layout::kDateFont, 17, 700, 14},
      {layout::kTimeFont, 40, 900, 33},        {layout::kAppointmentFont, 10, 700, 12},
      {layout::kMessageFont, 18, 700, 14},
  };
  ASSERT_EQ(sizeof(cases) / sizeof(cases[0]), static_cast<size_t>(layout::kFontCount));
  for (const Case& c : cases) {
    const layout::FontSpec made = layout::FontFor(c.font, file);
    EXPECT_EQ(layout::FontHeight(96, made.points), c.height) << c.font;
    EXPECT_EQ(made.weight, c.weight) << c.font;
    EXPECT_EQ(layout::FontHeight(96, layout::FontFor(c.font, skin::SkinSettings{}).points), c.builtInHeight) << c.font;
  }
}

TEST(LayoutColours, BuiltInAndSkin) {
  const layout::Colours dark = layout::ResolveColours(skin::SkinSettings{}, 1);
  EXPECT_EQ(dark.owner, 0x0A64C8u);
  EXPECT_EQ(dark.date, 0xE6C8C8u);
  EXPECT_EQ(dark.info, 0xE6C8C8u);
  EXPECT_EQ(dark.alert, 0x3232FFu);
  EXPECT_EQ(dark.digitalTime, 0x6464FFu);
  EXPECT_EQ(dark.hourHand, 0xAAAAAAu);
  EXPECT_EQ(dark.minuteHand, 0xAAAAAAu);
  EXPECT_EQ(dark.secondHand, 0xB4BEBEu);
  EXPECT_EQ(dark.face, 0x22242Eu);
  EXPECT_EQ(dark.appointment, 0xE6C8C8u);
  const layout::Colours light = layout::ResolveColours(skin::SkinSettings{}, 0);
  EXPECT_EQ(light.hourHand, 0x786E6Eu);
  EXPECT_EQ(light.minuteHand, 0x786E6Eu);
  EXPECT_EQ(light.secondHand, 0x8C9696u);
  EXPECT_EQ(light.face, 0xE0DBD2u);
  EXPECT_EQ(layout::ResolveColours(skin::SkinSettings{}, 7).face, 0xE0DBD2u);  // only 1 is the dark set

  // A partly read file: the colours set come from it, the others stay built in.
  skin::SkinSettings s;
  s.loaded = 1;
  s.colour[skin::kOwnerColor] = 0x010203;
  s.colourSet[skin::kOwnerColor] = true;
  s.colour[skin::kClockColor] = 0x112233;
  s.colourSet[skin::kClockColor] = true;
  const layout::Colours partial = layout::ResolveColours(s, 1);
  EXPECT_EQ(partial.owner, 0x010203u);
  EXPECT_EQ(partial.digitalTime, 0x112233u);
  EXPECT_EQ(partial.hourHand, 0x112233u);
  EXPECT_EQ(partial.minuteHand, 0xAAAAAAu);
  EXPECT_EQ(partial.date, 0xE6C8C8u);
  EXPECT_EQ(partial.face, 0x22242Eu);
}

TEST(LayoutScreen, Digital240x320) {
  const ScreenInput in = Input(240, 320, 2);
  EXPECT_EQ(in.skinSize, 320);
  const ScreenLayout l = layout::ComposeScreen(in);
  EXPECT_EQ(l.ownerRect, (Rect{0, 0, 240, 18}));
  EXPECT_EQ(l.dateFont, layout::kDateFont);
  EXPECT_EQ(l.dateRect, (Rect{0, 23, 240, 51}));
  EXPECT_EQ(l.clockRect, (Rect{0, 71, 240, 116}));
  EXPECT_EQ(l.statusFont, layout::kSmallStatusFont);
  EXPECT_EQ(l.versionRect, (Rect{0, 307, 120, 320}));
  EXPECT_EQ(l.batteryRect, (Rect{120, 307, 240, 320}));
  ASSERT_TRUE(l.drawMessages);
  EXPECT_EQ(l.messagesRect, (Rect{0, 256, 240, 304}));
  EXPECT_EQ(l.messageLine[0], (Rect{0, 256, 240, 272}));
  EXPECT_EQ(l.messageLine[1], (Rect{0, 272, 240, 288}));
  EXPECT_EQ(l.messageLine[2], (Rect{0, 288, 240, 304}));
  EXPECT_EQ(l.appointmentFont, layout::kSmallStatusFont);
  EXPECT_EQ(layout::AppointmentsRect(in.client, l.clockRect, 2, in.metrics[layout::kMessageFont], l.messagesRect),
            (Rect{14, 141, 226, 256}));
  Rect first;
  EXPECT_EQ(CountBoxes(in, l, &first), 8);  // bottoms 154, 167, ..., 245
  EXPECT_EQ(first, (Rect{14, 141, 226, 154}));
}

TEST(LayoutScreen, Analog480x640) {
  const ScreenInput in = Input(480, 640, 1);
  EXPECT_EQ(in.skinSize, 640);
  const ScreenLayout l = layout::ComposeScreen(in);
  EXPECT_EQ(l.clockRect, (Rect{160, 100, 320, 260}));
  EXPECT_EQ(l.statusFont, layout::kLargeStatusFont);
  EXPECT_EQ(l.versionRect, (Rect{0, 624, 240, 640}));
  EXPECT_EQ(l.batteryRect, (Rect{240, 624, 480, 640}));
  EXPECT_EQ(l.appointmentFont, layout::kAppointmentFont);
  EXPECT_EQ(l.messagesRect, (Rect{0, 576, 480, 624}));
  Rect first;
  CountBoxes(in, l, &first);
  EXPECT_EQ(first, (Rect{14, 275, 466, 290}));  // clock bottom + 15, appointment font 14 + 1
  // The pitch is H + 2E.
  const Rect second = layout::NextAppointmentBox(first, in.metrics[layout::kAppointmentFont]);
  EXPECT_EQ(second, (Rect{14, 291, 466, 306}));
}

TEST(LayoutScreen, TurnedUpright800x480) {
  ScreenInput in = Input(480, 800, 1);
  in.skinSize = layout::ChooseSkin(800, 480).skinSize;  // chosen at creation, never recomputed
  const ScreenLayout l = layout::ComposeScreen(in);
  EXPECT_EQ(l.statusFont, layout::kLargeStatusFont);
  EXPECT_EQ(l.appointmentFont, layout::kAppointmentFont);
  EXPECT_EQ(l.versionRect, (Rect{0, 784, 240, 800}));
  EXPECT_EQ(l.clockRect, (Rect{160, 100, 320, 260}));
}

TEST(LayoutScreen, FallbackSizesUseTheSmallFonts) {
  for (auto wh : {std::pair<int, int>{640, 640}, {600, 800}}) {
    const ScreenInput in = Input(wh.first, wh.second, 2);
    EXPECT_EQ(in.skinSize, 320);
    const ScreenLayout l = layout::ComposeScreen(in);
    EXPECT_EQ(l.statusFont, layout::kSmallStatusFont);
    EXPECT_EQ(l.appointmentFont, layout::kSmallStatusFont);
  }
  const ScreenInput hd = Input(480, 800, 2);
  EXPECT_EQ(layout::ComposeScreen(hd).statusFont, layout::kLargeStatusFont);
  const ScreenInput sq = Input(240, 240, 2);
  EXPECT_EQ(sq.skinSize, 240);
  EXPECT_EQ(layout::ComposeScreen(sq).statusFont, layout::kSmallStatusFont);
}

TEST(LayoutScreen, NoClockForClockType3) {
  const ScreenInput in = Input(240, 320, 3);
  const ScreenLayout l = layout::ComposeScreen(in);
  EXPECT_EQ(l.clockRect, (Rect{0, 61, 240, 71}));
  const Rect panel =
      layout::AppointmentsRect(in.client, l.clockRect, 3, in.metrics[layout::kMessageFont], l.messagesRect);
  EXPECT_EQ(panel.top, l.dateRect.bottom + 35);
}

TEST(LayoutScreen, LongDateTakesTheLargeStatusFont) {
  ScreenInput in = Input(240, 320, 2);
  in.dateLength = 20;
  ScreenLayout l = layout::ComposeScreen(in);
  EXPECT_EQ(l.dateFont, layout::kDateFont);
  EXPECT_EQ(l.dateRect, (Rect{0, 23, 240, 51}));
  in.dateLength = 21;
  l = layout::ComposeScreen(in);
  EXPECT_EQ(l.dateFont, layout::kLargeStatusFont);
  EXPECT_EQ(l.dateRect, (Rect{0, 23, 240, 50}));
  // The analog placement takes the date line's font too.
  in.clockType = 1;
  in.metrics[layout::kLargeStatusFont] = {16, 40, 8};
  EXPECT_EQ(layout::ComposeScreen(in).clockRect, clockgeo::PlaceAnalog(in.client, 16, 40).clockRect);
  EXPECT_EQ(layout::ComposeScreen(in).clockRect, (Rect{60, 90, 180, 210}));
}

TEST(LayoutScreen, BatteryRedOnlyBelow25ForARealReading) {
  ScreenInput in = Input(240, 320, 2);
  in.colours.info = 0x123456;
  struct Case {
    int percent;
    bool known;
    uint32_t colour;
  } cases[] = {{24, true, layout::kWarningRed}, {25, true, 0x123456},  {0, true, layout::kWarningRed},
               {100, true, 0x123456},           {24, false, 0x123456}, {0, false, 0x123456}};
  for (const auto& c : cases) {
    in.batteryPercent = c.percent;
    in.batteryKnown = c.known;
    EXPECT_EQ(layout::ComposeScreen(in).batteryColour, c.colour) << c.percent << " " << c.known;
  }
}

TEST(LayoutScreen, MessageColoursByCount) {
  ScreenInput in = Input(240, 320, 2);
  in.colours.alert = 0xA1;
  in.colours.info = 0xB2;
  in.unreadSms = 0;
  in.unreadMail = 3;
  in.missedCalls = -1;
  const ScreenLayout l = layout::ComposeScreen(in);
  EXPECT_EQ(l.messageColour[0], 0xB2u);
  EXPECT_EQ(l.messageColour[1], 0xA1u);
  EXPECT_EQ(l.messageColour[2], 0xA1u);
}

TEST(LayoutScreen, HideMessagesComputesNoMessageRegions) {
  ScreenInput in = Input(240, 320, 2);
  in.hideMessages = 1;
  const ScreenLayout l = layout::ComposeScreen(in);
  EXPECT_FALSE(l.drawMessages);
  EXPECT_EQ(l.messagesRect, Rect{});
  EXPECT_EQ(l.versionRect, (Rect{0, 307, 120, 320}));  // the bottom line is still there
}

TEST(LayoutScreen, FirstAppointmentBoxReachingMessagesDrawsNothing) {
  // 240x320 analog: the dial ends at 230, the panel starts at 245, the
  // first box (13 high) ends at 258, past the messages' top 256.
  const ScreenInput in = Input(240, 320, 1);
  const ScreenLayout l = layout::ComposeScreen(in);
  EXPECT_EQ(l.clockRect, (Rect{40, 70, 200, 230}));
  Rect first;
  EXPECT_EQ(CountBoxes(in, l, &first), 0);
  EXPECT_EQ(first, (Rect{14, 245, 226, 258}));
  // A box whose bottom equals the top is not drawn either.
  EXPECT_FALSE(layout::AppointmentBoxFits({0, 240, 10, 256}, l.messagesRect));
  EXPECT_TRUE(layout::AppointmentBoxFits({0, 240, 10, 255}, l.messagesRect));
}

}  // namespace
