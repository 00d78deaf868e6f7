// The face on screens outside the device classes: the class chosen by
// aspect ratio, the fit (scale and centring), and the composition carried
// to the screen, against the device classes where nothing may change.
#include "lockscreen/core/face_fit.h"

#include <gtest/gtest.h>

#include <cwchar>

#include "lockscreen/core/clock_geometry.h"

namespace {

using facefit::FaceChoice;
using facefit::FaceFit;
using layout::Rect;

FaceFit Fit(int w, int h) { return facefit::FitFace(facefit::ChooseFace(w, h), {0, 0, w, h}); }

TEST(FaceChoice, DeviceClassesAsEverOthersByAspect) {
  struct Case {
    int w, h;
    bool fitted;
    int skinSize;
    const wchar_t* file;
  } cases[] = {
      {240, 320, false, 320, L"qvga.jpg"},
      {320, 240, false, 320, L"qvga.jpg"},
      {240, 240, false, 240, L"240.jpg"},
      {320, 320, false, 320, L"320.jpg"},
      {480, 480, false, 480, L"480.jpg"},
      {480, 640, false, 640, L"vga.jpg"},
      {640, 480, false, 640, L"vga.jpg"},
      {800, 480, false, 800, L"hd.jpg"},
      {480, 800, false, 800, L"hd.jpg"},
      {1366, 768, true, 800, L"hd.jpg"},
      {1920, 1080, true, 800, L"hd.jpg"},
      {2560, 1440, true, 800, L"hd.jpg"},
      {3840, 2160, true, 800, L"hd.jpg"},
      {1080, 1920, true, 800, L"hd.jpg"},
      {1440, 900, true, 800, L"hd.jpg"},
      // 4:3 is both vga and qvga: the larger picture, scaled least.
      {1024, 768, true, 640, L"vga.jpg"},
      {768, 1024, true, 640, L"vga.jpg"},
      {1280, 1024, true, 640, L"vga.jpg"},
      {600, 800, true, 640, L"vga.jpg"},
      {1000, 1000, true, 480, L"480.jpg"},
      {640, 640, true, 480, L"480.jpg"},
      {160, 160, true, 480, L"480.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    const FaceChoice f = facefit::ChooseFace(c.w, c.h);
    EXPECT_EQ(f.fitted, c.fitted);
    EXPECT_EQ(f.skin.skinSize, c.skinSize);
    EXPECT_STREQ(f.skin.fileName, c.file);
  }
}

TEST(FaceFit, LargestCentredScale) {
  struct Case {
    int w, h;
    Rect face;
    int offsetX, offsetY;
    double scale;
    Rect onScreen;  // the whole face mapped
  } cases[] = {
      {1366, 768, {0, 0, 800, 480}, 43, 0, 1.6, {43, 0, 1323, 768}},
      {1920, 1080, {0, 0, 800, 480}, 60, 0, 2.25, {60, 0, 1860, 1080}},
      {1080, 1920, {0, 0, 480, 800}, 0, 60, 2.25, {0, 60, 1080, 1860}},
      {2560, 1080, {0, 0, 800, 480}, 380, 0, 2.25, {380, 0, 2180, 1080}},
      {1024, 768, {0, 0, 640, 480}, 0, 0, 1.6, {0, 0, 1024, 768}},
      {480, 640, {0, 0, 480, 640}, 0, 0, 1.0, {0, 0, 480, 640}},  // a device class: the client itself
      {240, 320, {0, 0, 240, 320}, 0, 0, 1.0, {0, 0, 240, 320}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    const FaceFit f = Fit(c.w, c.h);
    EXPECT_EQ(f.face, c.face);
    EXPECT_EQ(f.offsetX, c.offsetX);
    EXPECT_EQ(f.offsetY, c.offsetY);
    EXPECT_DOUBLE_EQ(static_cast<double>(f.num) / static_cast<double>(f.den), c.scale);
    EXPECT_EQ(facefit::MapRect(f, f.face), c.onScreen);
  }
  // A device class keeps its own client, whatever it is turned or shrunk to.
  const FaceFit turned = facefit::FitFace(facefit::ChooseFace(240, 320), {0, 0, 240, 200});
  EXPECT_EQ(turned.face, (Rect{0, 0, 240, 200}));
  // A fitted face follows the client: turned upright it takes the portrait class.
  const FaceFit upright = facefit::FitFace(facefit::ChooseFace(1366, 768), {0, 0, 768, 1366});
  EXPECT_EQ(upright.face, (Rect{0, 0, 480, 800}));
  EXPECT_EQ(facefit::MapRect(upright, upright.face), (Rect{0, 43, 768, 1323}));
  EXPECT_FALSE(facefit::SameScale(Fit(1366, 768), Fit(1920, 1080)));
  EXPECT_TRUE(facefit::SameScale(Fit(1920, 1080), Fit(1080, 1920)));
}

TEST(FaceFit, LengthsAndPoints) {
  const FaceFit hd = Fit(1920, 1080), device = Fit(480, 640);
  struct Case {
    int32_t length, scaled, onDevice;
  } lengths[] = {{4, 9, 4}, {3, 7, 3}, {1, 2, 1}, {2, 5, 2}, {0, 0, 0}, {14, 32, 14}};
  for (const Case& c : lengths) {
    EXPECT_EQ(facefit::ScaleLength(hd, c.length), c.scaled) << c.length;
    EXPECT_EQ(facefit::ScaleLength(device, c.length), c.onDevice) << c.length;
  }
  EXPECT_EQ(facefit::ScaleLength(Fit(200, 120), 1), 1);  // scaled down, still a pixel
  EXPECT_DOUBLE_EQ(facefit::ScaleReal(hd, 70), 157.5);
  EXPECT_EQ(facefit::MapX(hd, 400), 960);
  EXPECT_EQ(facefit::MapY(hd, 180), 405);
  EXPECT_EQ(facefit::MapX(hd, -4), 51);  // rounded down, also left of the face
}

// Every region of the composition and the dial lie on the picture's place
// on the screen, and the dial is where the picture's dial is drawn.
TEST(FaceFit, CompositionAndDialLieOnThePicture) {
  struct Case {
    int w, h, clockType;
    clockgeo::Point centre;
    double radius;
  } cases[] = {
      {1366, 768, 1, {683, 288}, 112.0}, {1920, 1080, 1, {960, 405}, 157.5}, {1080, 1920, 1, {540, 465}, 157.5},
      {1366, 768, 2, {0, 0}, 0},         {1024, 768, 1, {512, 288}, 112.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " type " << c.clockType);
    const FaceChoice choice = facefit::ChooseFace(c.w, c.h);
    const FaceFit fit = facefit::FitFace(choice, {0, 0, c.w, c.h});
    const Rect picture = facefit::MapRect(fit, fit.face);
    layout::ScreenInput in;
    in.client = fit.face;
    for (layout::TextMetrics& m : in.metrics) m = {15, 1, 7};
    in.dateLength = 14;
    in.clockType = c.clockType;
    in.skinSize = choice.skin.skinSize;
    const layout::ScreenLayout l = layout::ComposeScreen(in);
    for (const Rect& r : {l.ownerRect, l.dateRect, l.clockRect, l.versionRect, l.batteryRect, l.messagesRect,
                          l.messageLine[0], l.messageLine[2]}) {
      const Rect s = facefit::MapRect(fit, r);
      EXPECT_GE(s.left, picture.left);
      EXPECT_GE(s.top, picture.top);
      EXPECT_LE(s.right, picture.right);
      EXPECT_LE(s.bottom, picture.bottom);
    }
    if (c.clockType != 1) continue;
    const clockgeo::AnalogPlacement p = clockgeo::PlaceAnalog(fit.face, 15, 1);
    EXPECT_EQ(facefit::MapX(fit, p.centre.x), c.centre.x);
    EXPECT_EQ(facefit::MapY(fit, p.centre.y), c.centre.y);
    EXPECT_DOUBLE_EQ(facefit::ScaleReal(fit, p.radius), c.radius);
  }
}

}  // namespace
