// Which skin the lock screen reads, seen on a 240x320 screen: Clock_Type 1
// takes skin\analog, every other value skin\digital (0, 3 and 7 as well);
// Clock_Type 3 draws no clock; without a config.ini the built-in colours
// stand, the analog face colour included.
#include <gtest/gtest.h>

#include <string>

#include "lockscreen/core/clock_geometry.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/paint_support.h"
#include "tests/wine/support/support.h"

namespace {

using pt_face::Shot;

class PaintSkin : public wt::SuiteTest {
 protected:
  void TearDown() override {
    wt::KillSuite();
    lt::CloseLock(lock_);
    wt::Device(L"clock clear");
    wt::SuiteTest::TearDown();
  }
  lt::Lock lock_;
};

TEST_F(PaintSkin, ClockTypeChoosesTheSkinFolder) {
  const layout::Colours analog = pt_face::InstalledColours(1);
  const layout::Colours digital = pt_face::InstalledColours(2);
  ASSERT_NE(analog.owner, digital.owner);
  const RECT ownerLine{0, 0, 240, 18};
  for (int type : {1, 0, 3, 7}) {
    SCOPED_TRACE(type);
    pt_face::PrepareFace(type);
    lock_ = pt_face::StartFace();
    ASSERT_NE(lock_.window, nullptr);
    const pt_face::ColourInRect owner{ownerLine, type == 1 ? analog.owner : digital.owner, 10};
    EXPECT_TRUE(pt_face::WaitScreen(pt_face::HasColour, &owner, 5000));
    const Shot picture = pt_face::InstalledPicture(type == 1 ? L"analog\\portrait_qvga.jpg" : L"digital\\portrait_qvga.jpg");
    pt_face::PictureCheck edges{&picture, 0};
    EXPECT_TRUE(pt_face::WaitScreen(pt_face::EdgesShowPicture, &edges, 5000));
    if (type != 1) {
      // No clock for anything but 1 and 2: the time's colour appears nowhere.
      EXPECT_EQ(pt_face::CaptureScreen().Count({0, 0, 240, 320}, digital.digitalTime), 0);
    }
    wt::KillSuite();
    lt::CloseLock(lock_);
  }
}

TEST_F(PaintSkin, NoConfigFileGivesTheBuiltInColours) {
  const layout::Colours shipped = pt_face::InstalledColours(1);
  pt_face::SkinFileSwap gone(L"analog\\config.ini", nullptr);
  ASSERT_TRUE(gone.ok());
  pt_face::PrepareFace(1, L"2026-03-14 10:08:30");
  wt::SetSetting(L"Face", 1);
  lock_ = pt_face::StartFace();
  ASSERT_NE(lock_.window, nullptr);
  const pt_face::ColourInRect owner{{0, 0, 240, 18}, RGB(200, 100, 10), 10};
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HasColour, &owner, 5000));

  // Built-in hands for Face 1; once the clock moves, the old hands are
  // painted over in the built-in face colour 0x22242E, which the shipped
  // picture's dial does not have.
  pt_face::HandsCheck first = pt_face::HandsAt(240, 320, 10, 8, 30);
  first.colours = layout::ResolveColours(skin::SkinSettings{}, 1);
  ASSERT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &first, 5000));
  ASSERT_NE(shipped.face, first.colours.face);
  wt::Device(L"clock \"2026-03-14 10:41:12\"");
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HandsGone, &first, 5000));
  EXPECT_EQ(first.colours.face, RGB(46, 36, 34));
}

TEST_F(PaintSkin, FaceZeroGivesTheLightBuiltInHands) {
  pt_face::SkinFileSwap gone(L"analog\\config.ini", nullptr);
  ASSERT_TRUE(gone.ok());
  pt_face::PrepareFace(1, L"2026-03-14 10:08:30");
  wt::SetSetting(L"Face", 0);
  lock_ = pt_face::StartFace();
  ASSERT_NE(lock_.window, nullptr);
  pt_face::HandsCheck hands = pt_face::HandsAt(240, 320, 10, 8, 30);
  hands.colours = layout::ResolveColours(skin::SkinSettings{}, 0);
  EXPECT_EQ(hands.colours.hourHand, RGB(110, 110, 120));
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &hands, 5000));
}

}  // namespace
