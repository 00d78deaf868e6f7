// The lock screen's face on an 800x480 screen (landscape at creation): the
// "hd.jpg" landscape pictures, the analog dial at (400, 180), the digital
// time in its colour, and the battery warning in the large status font's
// corner.
#include <gtest/gtest.h>

#include <string>

#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/paint_support.h"
#include "tests/wine/support/support.h"

namespace {

using pt_face::Shot;

class PaintFace800x480 : public pt_face::PaintTestOn<800, 480> {};

TEST_F(PaintFace800x480, DigitalPictureTimeAndLowBattery) {
  pt_face::PrepareFace(2, L"2026-03-14 07:30:00");
  wt::Device(L"battery 24");
  const Shot picture = pt_face::InstalledPicture(L"digital\\landscape_hd.jpg");
  ASSERT_EQ(picture.width, 800);
  ASSERT_EQ(picture.height, 480);
  lock_ = pt_face::StartFace();
  ASSERT_NE(lock_.window, nullptr);
  pt_face::PictureCheck edges{&picture, 0};
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::EdgesShowPicture, &edges, wt::kStepMs));
  const layout::Colours colours = pt_face::InstalledColours(2);
  const pt_face::ColourInRect time{{0, 55, 800, 135}, colours.digitalTime, 30};
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HasColour, &time, wt::kStepMs));
  ASSERT_TRUE(lt::WaitProbe(lock_.window, kProbeBattery, 0x100 + 24, wt::kStepMs));
  InvalidateRect(lock_.window, nullptr, TRUE);
  const pt_face::ColourInRect red{{400, 455, 800, 480}, RGB(255, 50, 50), 10};
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HasColour, &red, wt::kStepMs));
}

TEST_F(PaintFace800x480, AnalogHandsAtTheLandscapeCentre) {
  pt_face::PrepareFace(1, L"2026-03-14 23:59:59");
  lock_ = pt_face::StartFace();
  ASSERT_NE(lock_.window, nullptr);
  const Shot picture = pt_face::InstalledPicture(L"analog\\landscape_hd.jpg");
  pt_face::PictureCheck edges{&picture, 0};
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::EdgesShowPicture, &edges, wt::kStepMs));
  const pt_face::HandsCheck hands = pt_face::HandsAt(800, 480, 23, 59, 59);
  EXPECT_TRUE(hands.hour.tip == (clockgeo::Point{400, 139}));  // truncation: 41, not 42
  ASSERT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &hands, wt::kStepMs));
}

}  // namespace
