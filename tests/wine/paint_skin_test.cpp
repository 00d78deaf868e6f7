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

class PaintSkin : public pt_face::PaintTest {
 protected:
  // The owner line's bottom edge with this config.ini in the digital skin.
  int OwnerBottomWith(const std::string& config) {
    const std::vector<unsigned char> bytes = pt_face::Utf16(config);
    pt_face::SkinFileSwap swap(L"digital\\config.ini", &bytes);
    EXPECT_TRUE(swap.ok());
    pt_face::PrepareFace(2);
    lock_ = pt_face::StartFaceTraced();
    EXPECT_NE(lock_.window, nullptr);
    int bottom = -1;
    wt::WaitFor([&] { return (bottom = pt_face::DrawnBottom(lock_, L"Ada Lovelace")) >= 0; }, wt::kStepMs);
    lt::CloseLock(lock_);
    return bottom;
  }
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
    EXPECT_TRUE(pt_face::WaitScreen(pt_face::HasColour, &owner, wt::kStepMs));
    const Shot picture =
        pt_face::InstalledPicture(type == 1 ? L"analog\\portrait_qvga.jpg" : L"digital\\portrait_qvga.jpg");
    pt_face::PictureCheck edges{&picture, 0};
    EXPECT_TRUE(pt_face::WaitScreen(pt_face::EdgesShowPicture, &edges, wt::kStepMs));
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
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HasColour, &owner, wt::kStepMs));

  // Built-in hands for Face 1; once the clock moves, the old hands are
  // painted over in the built-in face colour 0x22242E, which the shipped
  // picture's dial does not have.
  pt_face::HandsCheck first = pt_face::HandsAt(240, 320, 10, 8, 30);
  first.colours = layout::ResolveColours(skin::SkinSettings{}, 1);
  ASSERT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &first, wt::kStepMs));
  ASSERT_NE(shipped.face, first.colours.face);
  wt::Device(L"clock \"2026-03-14 10:41:12\"");
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HandsGone, &first, wt::kStepMs));
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
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &hands, wt::kStepMs));
}

// The load reads the file once, at most 4096 bytes: a size that stands
// beyond them is not read. The owner line's height shows the owner font.
TEST_F(PaintSkin, OnlyTheFirst4096BytesOfTheFileCount) {
  const std::string colours =
      "[Colours] Owner 255, 190, 110 Date 220, 210, 255 Info 170, 160, 210 Alert 255, 105, 130 "
      "Clock 120, 230, 255 Minute 1, 1, 1 Second 2, 2, 2 Face 3, 3, 3 Appointment 225, 220, 245\r\n";
  const std::string sizes = "[Fonts] Owner 30 Date 11 Time 28 Appointment 9 Message 10\r\n";
  const int builtIn = OwnerBottomWith(colours);
  const int large = OwnerBottomWith(colours + sizes);
  const std::string padding(2048 - colours.size() + 1, ' ');  // the sizes start past byte 4096
  const int cut = OwnerBottomWith(colours + padding + sizes);
  ASSERT_GT(builtIn, 0);
  EXPECT_GT(large, builtIn + 10);  // 30 points instead of 11
  EXPECT_EQ(cut, builtIn);
  // Just inside the bound the size is still read.
  const std::string inside(2048 - colours.size() - sizes.size(), ' ');
  EXPECT_EQ(OwnerBottomWith(colours + inside + sizes), large);
}

}  // namespace
