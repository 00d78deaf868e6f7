// The lock screen's face on a 240x320 screen, read back from the screen:
// the skin picture, the analog hands at a pinned clock and their erasing,
// the digital time, the battery warning, Hide_Messages, a missing picture
// and a partial config.ini.
#include <gtest/gtest.h>

#include <string>

#include "lockscreen/core/clock_geometry.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/paint_support.h"
#include "tests/wine/support/support.h"

namespace {

using pt_face::Shot;

class PaintFace : public pt_face::PaintTest {};

TEST_F(PaintFace, PicturePixelsAppear) {
  pt_face::PrepareFace(2);
  const Shot picture = pt_face::InstalledPicture(L"digital\\portrait_qvga.jpg");
  ASSERT_EQ(picture.width, 240);
  ASSERT_EQ(picture.height, 320);
  lock_ = pt_face::StartFace();
  ASSERT_NE(lock_.window, nullptr);
  pt_face::PictureCheck check{&picture, 0};
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::EdgesShowPicture, &check, wt::kStepMs));
  // A dropped bitmap (low memory) is decoded again at the next paint.
  DWORD_PTR result = 0;
  ASSERT_TRUE(SendMessageTimeoutW(lock_.window, 0x03FF, 0, 0, SMTO_NORMAL, 2000, &result));
  EXPECT_EQ(result, 1u);
  InvalidateRect(lock_.window, nullptr, TRUE);
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::EdgesShowPicture, &check, wt::kStepMs));
}

TEST_F(PaintFace, MissingPictureLeavesBlackWithEveryText) {
  pt_face::PrepareFace(2);
  pt_face::SkinFileSwap gone(L"digital\\portrait_qvga.jpg", nullptr);
  ASSERT_TRUE(gone.ok());
  lock_ = pt_face::StartFaceTraced();
  const std::wstring& log = lock_.traceFile;
  ASSERT_NE(lock_.window, nullptr);
  const Shot black{240, 320, std::vector<COLORREF>(240 * 320, 0)};
  pt_face::PictureCheck check{&black, 0};
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::EdgesShowPicture, &check, wt::kStepMs));
  for (const char* text : {"Ada Lovelace", "March 14, 2026", "10:08", "2.0", "Unread SMS: 2", "Unread Mail: 0",
                           "Missed calls: 1", "Reading appointments"}) {
    EXPECT_TRUE(wt::WaitFor([&] { return wt::FileHas(log, text); }, wt::kStepMs)) << text;
  }
}

pt_face::HandsCheck HandsAt(int hour, int minute, int second) {
  return pt_face::HandsAt(240, 320, hour, minute, second);
}

TEST_F(PaintFace, AnalogHandsOnTheirPixelsThenErasedToTheFace) {
  // Every date line up to 30 pixels gives radius 70 and centre (120, 150).
  EXPECT_EQ(clockgeo::PlaceAnalog({0, 0, 240, 320}, 14, 0).radius, 70);
  EXPECT_EQ(clockgeo::PlaceAnalog({0, 0, 240, 320}, 28, 2).radius, 70);
  pt_face::PrepareFace(1, L"2026-03-14 10:08:30");
  lock_ = pt_face::StartFace();
  ASSERT_NE(lock_.window, nullptr);
  const pt_face::HandsCheck first = HandsAt(10, 8, 30);
  EXPECT_TRUE(first.hour.tip == (clockgeo::Point{86, 127}));
  ASSERT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &first, wt::kStepMs));
  // Beyond each tip the dial shows: the hands are no longer than computed.
  const Shot now = pt_face::CaptureScreen();
  for (const clockgeo::HandLine* h : {&first.hour, &first.minute, &first.second}) {
    const int bx = h->tip.x + (h->tip.x - h->centre.x) / 8, by = h->tip.y + (h->tip.y - h->centre.y) / 8;
    EXPECT_EQ(now.At(bx, by), first.colours.face) << bx << "," << by;
  }

  // A stored hand that is all zero (none drawn yet) is not erased: no dot
  // of the face colour at (0, 0), the picture shows there.
  const Shot picture = pt_face::InstalledPicture(L"analog\\portrait_qvga.jpg");
  ASSERT_EQ(picture.width, 240);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(now.At(x, y), picture.At(x, y)) << x << "," << y;
  }
  EXPECT_NE(picture.At(0, 0), first.colours.face);

  // The clock moves on: the refresh thread erases the old hands with the
  // face pen and draws the new ones.
  wt::Device(L"clock \"2026-03-14 10:41:12\"");
  const pt_face::HandsCheck second = HandsAt(10, 41, 12);
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &second, wt::kStepMs));
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HandsErased, &first, wt::kStepMs));
}

// Turning the screen: the first paint in the other orientation forgets the
// stored hands instead of erasing them, so no line of the face colour is
// left where the upright second hand was (outside the turned dial).
TEST_F(PaintFace, TurningForgetsTheStoredHands) {
  pt_face::PrepareFace(1, L"2026-03-14 10:08:30");
  wt::SetSetting(L"Hide_Messages", 1);  // nothing but the picture below the turned dial
  lock_ = pt_face::StartFace();
  ASSERT_NE(lock_.window, nullptr);
  const pt_face::HandsCheck upright = HandsAt(10, 8, 30);
  ASSERT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &upright, wt::kStepMs));
  ASSERT_TRUE(upright.second.tip == (clockgeo::Point{120, 213}));

  // A window wider than high: 240x200 fits the screen, so the client
  // really is landscape.
  ASSERT_TRUE(SetWindowPos(lock_.window, nullptr, 0, 0, 240, 200, SWP_NOZORDER | SWP_NOACTIVATE));
  RECT client;
  ASSERT_TRUE(wt::WaitFor([&] { return GetClientRect(lock_.window, &client) && client.bottom == 200; }, wt::kStepMs));
  ASSERT_EQ(client.right, 240);
  const pt_face::HandsCheck turned = pt_face::HandsAt(240, 200, 10, 8, 30);
  ASSERT_TRUE(turned.hour.centre == (clockgeo::Point{120, 90}));
  ASSERT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &turned, wt::kStepMs));
  const Shot picture = pt_face::InstalledPicture(L"analog\\landscape_qvga.jpg");
  ASSERT_EQ(picture.width, 320);
  const Shot s = pt_face::CaptureScreen();
  for (int y = 180; y < 200; y += 3) {
    EXPECT_NE(picture.At(120, y), upright.colours.face);
    EXPECT_EQ(s.At(120, y), picture.At(120, y)) << y;
  }
}

TEST_F(PaintFace, AnalogWithoutSecondsDrawsNoSecondHand) {
  pt_face::PrepareFace(1, L"2026-03-14 10:08:30");
  wt::SetSetting(L"ShowSeconds", 0);
  lock_ = pt_face::StartFace();
  ASSERT_NE(lock_.window, nullptr);
  const pt_face::HandsCheck c = HandsAt(10, 8, 30);
  ASSERT_TRUE(wt::WaitFor(
      [&] {
        const Shot s = pt_face::CaptureScreen();
        return pt_face::NearColour(s, c.minute.tip.x, c.minute.tip.y, 1, c.colours.minuteHand);
      },
      wt::kStepMs));
  const Shot s = pt_face::CaptureScreen();
  const RECT below{110, 165, 131, 215};  // where the second hand would point at :30
  EXPECT_EQ(s.Count(below, c.colours.secondHand), 0);
  // The cap is still drawn in the second hand's colour.
  EXPECT_TRUE(pt_face::NearColour(s, 120, 148, 2, c.colours.secondHand));
}

TEST_F(PaintFace, DigitalTimeInItsColour) {
  pt_face::PrepareFace(2, L"2026-03-14 10:08:30");
  lock_ = pt_face::StartFaceTraced();
  const std::wstring& log = lock_.traceFile;
  ASSERT_NE(lock_.window, nullptr);
  const layout::Colours colours = pt_face::InstalledColours(2);
  const pt_face::ColourInRect time{{0, 55, 240, 130}, colours.digitalTime, 30};
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HasColour, &time, wt::kStepMs));
  EXPECT_TRUE(wt::WaitFor([&] { return wt::FileHas(log, "10:08 AM"); }, wt::kStepMs));
  EXPECT_FALSE(wt::FileHas(log, "10:08:30"));  // never seconds
  // Nowhere else is the time's colour.
  const Shot s = pt_face::CaptureScreen();
  EXPECT_EQ(s.Count({0, 0, 240, 50}, colours.digitalTime), 0);
  EXPECT_EQ(s.Count({0, 140, 240, 320}, colours.digitalTime), 0);
}

// The minute moves on: the refresh thread invalidates the clock region with
// erase, so the new time is drawn over the picture, not over the old time.
TEST_F(PaintFace, DigitalMinuteRepaintErasesTheOldTime) {
  pt_face::PrepareFace(2, L"2026-03-14 10:08:30");
  lock_ = pt_face::StartFaceTraced();
  ASSERT_NE(lock_.window, nullptr);
  const COLORREF timeColour = pt_face::InstalledColours(2).digitalTime;
  const RECT band{0, 55, 240, 130};
  const pt_face::ColourInRect time{band, timeColour, 30};
  ASSERT_TRUE(pt_face::WaitScreen(pt_face::HasColour, &time, wt::kStepMs));
  const Shot before = pt_face::CaptureScreen();

  wt::Device(L"clock \"2026-03-14 10:09:30\"");
  ASSERT_TRUE(wt::WaitFor([&] { return wt::FileHas(lock_.traceFile, "10:09 AM"); }, wt::kStepMs));
  // Pixels of the "8" that the "9" does not cover are the picture again.
  EXPECT_TRUE(wt::WaitFor(
      [&] {
        const Shot after = pt_face::CaptureScreen();
        int erased = 0;
        for (int y = band.top; y < band.bottom; ++y) {
          for (int x = band.left; x < band.right; ++x) {
            if (before.At(x, y) == timeColour && after.At(x, y) != timeColour) ++erased;
          }
        }
        return erased >= 5 && after.Count(band, timeColour) >= 30;
      },
      wt::kStepMs));
}

TEST_F(PaintFace, BatteryRedOnlyBelow25) {
  const COLORREF red = RGB(255, 50, 50);
  const RECT battery{120, 300, 240, 320};
  for (int percent : {24, 25}) {
    SCOPED_TRACE(percent);
    pt_face::PrepareFace(2);
    wt::Device(L"battery " + std::to_wstring(percent));
    lock_ = pt_face::StartFace();
    ASSERT_NE(lock_.window, nullptr);
    ASSERT_TRUE(lt::WaitProbe(lock_.window, kProbeBattery, 0x100 + percent, wt::kStepMs));
    InvalidateRect(lock_.window, nullptr, TRUE);  // a paint after the reading
    const layout::Colours colours = pt_face::InstalledColours(2);
    const pt_face::ColourInRect want{battery, percent < 25 ? red : colours.info, 10};
    EXPECT_TRUE(pt_face::WaitScreen(pt_face::HasColour, &want, wt::kStepMs));
    const Shot s = pt_face::CaptureScreen();
    EXPECT_EQ(s.Count(battery, percent < 25 ? colours.info : red), 0);
    lt::CloseLock(lock_);
  }
}

struct MessageArea {
  const Shot* picture;
  RECT rect;
};
bool AreaIsPicture(const Shot& s, const void* context) {
  const auto* m = static_cast<const MessageArea*>(context);
  for (int y = m->rect.top; y < m->rect.bottom; ++y) {
    for (int x = m->rect.left; x < m->rect.right; ++x) {
      if (s.At(x, y) != m->picture->At(x, y)) return false;
    }
  }
  return true;
}

TEST_F(PaintFace, HideMessagesShowsOnlyThePictureThere) {
  pt_face::PrepareFace(2);
  wt::SetSetting(L"Hide_Messages", 1);
  const Shot picture = pt_face::InstalledPicture(L"digital\\portrait_qvga.jpg");
  ASSERT_EQ(picture.width, 240);
  // Everything between the appointments' first line and the bottom line.
  const MessageArea area{&picture, {0, 160, 240, 300}};
  lock_ = pt_face::StartFace();
  ASSERT_NE(lock_.window, nullptr);
  EXPECT_TRUE(pt_face::WaitScreen(AreaIsPicture, &area, wt::kStepMs));
  lt::CloseLock(lock_);

  // The same area with the messages shown is not the bare picture.
  wt::SetSetting(L"Hide_Messages", 0);
  lock_ = pt_face::StartFace();
  ASSERT_NE(lock_.window, nullptr);
  const pt_face::ColourInRect alert{{0, 160, 240, 300}, pt_face::InstalledColours(2).alert, 10};
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HasColour, &alert, wt::kStepMs));
  EXPECT_FALSE(AreaIsPicture(pt_face::CaptureScreen(), &area));
}

TEST_F(PaintFace, PartialConfigGivesTheDocumentedColours) {
  // Owner colour read in full; the date's triple cut short: the date keeps
  // its built-in colour, as does everything after it; sizes stay default.
  const std::vector<unsigned char> partial = pt_face::Utf16("[Colours] Owner 10, 200, 30 Date 40, 50");
  pt_face::SkinFileSwap swap(L"digital\\config.ini", &partial);
  ASSERT_TRUE(swap.ok());
  pt_face::SkinFileSwap noPicture(L"digital\\portrait_qvga.jpg", nullptr);  // text on plain black
  ASSERT_TRUE(noPicture.ok());
  pt_face::PrepareFace(2);
  lock_ = pt_face::StartFace();
  ASSERT_NE(lock_.window, nullptr);
  const pt_face::ColourInRect owner{{0, 0, 240, 18}, RGB(10, 200, 30), 10};
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HasColour, &owner, wt::kStepMs));
  const Shot s = pt_face::CaptureScreen();
  EXPECT_GE(s.Count({0, 18, 240, 55}, RGB(200, 200, 230)), 10);  // DateColor built in
  EXPECT_EQ(s.Count({0, 18, 240, 55}, RGB(40, 50, 0)), 0);
  EXPECT_GE(s.Count({0, 55, 240, 130}, RGB(255, 100, 100)), 10);  // digital time built in
  EXPECT_GE(s.Count({0, 200, 240, 310}, RGB(255, 50, 50)), 10);   // AlertColor built in
}

}  // namespace
