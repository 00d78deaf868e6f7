// The lock screen's face on a 480x640 screen: the "vga.jpg" pictures, the
// analog dial placed at (240, 180) with radius 70, the hands on their
// pixels and erased to the face colour when the clock moves, and the
// digital time in its colour.
#include <gtest/gtest.h>

#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/paint_support.h"
#include "tests/wine/support/support.h"

namespace {

using pt_face::Shot;

class PaintFace480x640 : public pt_face::PaintTestOn<480, 640> {};

TEST_F(PaintFace480x640, AnalogPictureAndHands) {
  pt_face::PrepareFace(1, L"2026-03-14 15:37:45");
  const Shot picture = pt_face::InstalledPicture(L"analog\\portrait_vga.jpg");
  ASSERT_EQ(picture.width, 480);
  ASSERT_EQ(picture.height, 640);
  lock_ = pt_face::StartFace();
  ASSERT_NE(lock_.window, nullptr);
  pt_face::PictureCheck edges{&picture, 0};
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::EdgesShowPicture, &edges, wt::kStepMs));

  // Centre y is 180 from a 400-pixel-high screen up; the worked example's
  // tips for 15:37:45 with radius 70.
  const pt_face::HandsCheck first = pt_face::HandsAt(480, 640, 15, 37, 45);
  EXPECT_TRUE(first.hour.centre == (clockgeo::Point{240, 180}));
  EXPECT_TRUE(first.hour.tip == (clockgeo::Point{279, 193}));
  EXPECT_TRUE(first.minute.tip == (clockgeo::Point{198, 226}));
  EXPECT_TRUE(first.second.tip == (clockgeo::Point{177, 180}));
  ASSERT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &first, wt::kStepMs));

  wt::Device(L"clock \"2026-03-14 16:05:10\"");
  const pt_face::HandsCheck moved = pt_face::HandsAt(480, 640, 16, 5, 10);
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &moved, wt::kStepMs));
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HandsErased, &first, wt::kStepMs));
}

TEST_F(PaintFace480x640, DigitalTimeInItsColour) {
  pt_face::PrepareFace(2, L"2026-03-14 21:45:00");
  lock_ = pt_face::StartFace();
  ASSERT_NE(lock_.window, nullptr);
  const Shot picture = pt_face::InstalledPicture(L"digital\\portrait_vga.jpg");
  pt_face::PictureCheck edges{&picture, 0};
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::EdgesShowPicture, &edges, wt::kStepMs));
  const pt_face::ColourInRect time{{0, 55, 480, 135}, pt_face::InstalledColours(2).digitalTime, 30};
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HasColour, &time, wt::kStepMs));
}

}  // namespace
