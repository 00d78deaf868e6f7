// The analog clock's placement and hands: the worked examples of the clock
// and more, each tip worked out by hand or with another program's sin/cos.
#include "lockscreen/core/clock_geometry.h"

#include <gtest/gtest.h>

namespace {

using clockgeo::HandLine;
using clockgeo::Point;
using layout::Rect;

Rect Client(int w, int h) { return {0, 0, w, h}; }

TEST(ClockPlacement, WorkedExamples) {
  struct Case {
    int w, h, dateH, dateE;
    int radius, cx, cy;
    Rect rect;
    int landscape;
  } cases[] = {
      {240, 320, 15, 0, 70, 120, 150, {40, 70, 200, 230}, 0},
      {320, 240, 15, 0, 50, 160, 110, {100, 50, 220, 170}, 1},
      {480, 640, 15, 0, 70, 240, 180, {160, 100, 320, 260}, 0},
      {800, 480, 15, 0, 70, 400, 180, {320, 100, 480, 260}, 1},
      {480, 800, 15, 0, 70, 240, 180, {160, 100, 320, 260}, 0},
      {240, 240, 15, 0, 50, 120, 110, {60, 50, 180, 170}, 1},  // square counts as landscape
      // The radius needs both slacks above 70: (286 - 30 - 115) / 2 = 70.
      {240, 286, 15, 0, 50, 120, 133, {60, 73, 180, 193}, 0},
      {240, 287, 15, 0, 70, 120, 133, {40, 53, 200, 213}, 0},
      {191, 640, 15, 0, 50, 95, 180, {35, 120, 155, 240}, 0},  // width slack (191 - 50) / 2 = 70
      {192, 640, 15, 0, 70, 96, 180, {16, 100, 176, 260}, 0},  // 71
      // The external leading counts twice, like the height.
      {240, 320, 15, 16, 70, 120, 150, {40, 70, 200, 230}, 0},  // (320 - 62 - 115) / 2 = 71
      {240, 320, 15, 17, 50, 120, 150, {60, 90, 180, 210}, 0},  // (320 - 64 - 115) / 2 = 70
      // Centre y: 10 above the middle below 400, else 180.
      {480, 399, 15, 0, 70, 240, 189, {160, 109, 320, 269}, 1},
      {480, 400, 15, 0, 70, 240, 180, {160, 100, 320, 260}, 1},
      // A tiny screen: negative slacks truncate toward zero, radius 50.
      {101, 101, 15, 0, 50, 50, 40, {-10, -20, 110, 100}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " H " << c.dateH << " E " << c.dateE);
    const clockgeo::AnalogPlacement p = clockgeo::PlaceAnalog(Client(c.w, c.h), c.dateH, c.dateE);
    EXPECT_EQ(p.radius, c.radius);
    EXPECT_EQ(p.centre.x, c.cx);
    EXPECT_EQ(p.centre.y, c.cy);
    EXPECT_EQ(p.clockRect, c.rect);
    EXPECT_EQ(p.landscape, c.landscape);
  }
}

struct Tips {
  int hx, hy, mx, my, sx, sy;  // offsets from the centre
};

void ExpectTips(int radius, int hour, int minute, int second, const Tips& t) {
  SCOPED_TRACE(testing::Message() << "R " << radius << " at " << hour << ":" << minute << ":" << second);
  const Point c{117, 151};
  const HandLine h = clockgeo::HourHand(c, radius, hour, minute);
  const HandLine m = clockgeo::MinuteHand(c, radius, minute);
  const HandLine s = clockgeo::SecondHand(c, radius, second);
  EXPECT_TRUE(h.centre == c);
  EXPECT_TRUE(m.centre == c);
  EXPECT_TRUE(s.centre == c);
  EXPECT_EQ(h.tip.x - c.x, t.hx);
  EXPECT_EQ(h.tip.y - c.y, t.hy);
  EXPECT_EQ(m.tip.x - c.x, t.mx);
  EXPECT_EQ(m.tip.y - c.y, t.my);
  EXPECT_EQ(s.tip.x - c.x, t.sx);
  EXPECT_EQ(s.tip.y - c.y, t.sy);
}

TEST(ClockHands, WorkedExamples) {
  ExpectTips(70, 0, 0, 0, {0, -42, 0, -63, 0, -63});
  ExpectTips(70, 15, 37, 45, {39, 13, -42, 46, -63, 0});
  // 23:59: truncation toward zero gives 41, not 42.
  ExpectTips(70, 23, 59, 59, {0, -41, -6, -62, -6, -63});
  // A negative offset truncates toward zero: the hour's -24.87 is -24.
  ExpectTips(50, 10, 8, 30, {-24, -16, 33, -30, 0, 45});
}

TEST(ClockHands, MoreTimes) {
  ExpectTips(70, 6, 0, 30, {0, 42, 0, -63, 0, 63});
  ExpectTips(50, 9, 45, 15, {-27, -11, -45, 0, 45, 0});
  ExpectTips(70, 12, 30, 7, {10, -40, 0, 63, 42, -47});  // the afternoon angle runs past one turn
  ExpectTips(50, 18, 22, 53, {-5, 29, 33, 30, -30, -33});
  ExpectTips(70, 3, 15, 20, {41, 5, 63, 0, 55, 31});
  ExpectTips(50, 0, 0, 0, {0, -30, 0, -45, 0, -45});
}

// The angles are the exact doubles 0.008726646259722222 and
// 0.10471975511666666, a little short of pi/360 and pi/30: on a long
// enough hand the difference moves a tip by one pixel (5:00 is exactly
// 150 degrees, whose sine is 0.5: the short angle truncates to 300000,
// pi/360 to 299999).
TEST(ClockHands, LongHandsLandWhereTheExactAnglesPutThem) {
  struct Case {
    HandLine hand;
    Point tip;
  } cases[] = {
      {clockgeo::HourHand({0, 0}, 1e6, 5, 0), {300000, 519615}},
      {clockgeo::HourHand({0, 0}, 1e6, 13, 0), {299999, -519615}},
      {clockgeo::MinuteHand({0, 0}, 1e9, 27), {278115295, 855950864}},
      {clockgeo::SecondHand({0, 0}, 2e9, 50), {-1576166235, -909999999}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.hand.tip.x, c.tip.x);
    EXPECT_EQ(c.hand.tip.y, c.tip.y);
  }
}

TEST(ClockHands, AbsurdRadiusStaysDefined) {
  const HandLine h = clockgeo::MinuteHand({0, 0}, INT32_MAX, 15);
  EXPECT_GT(h.tip.x, 0);
  EXPECT_TRUE(clockgeo::IsZeroLine(HandLine{}));
  EXPECT_FALSE(clockgeo::IsZeroLine(clockgeo::HourHand({0, 0}, 50, 0, 0)));
}

TEST(ClockHands, CapBox) {
  const Rect r = clockgeo::CapBox({120, 150});
  EXPECT_EQ(r, (Rect{118, 148, 122, 152}));
}

}  // namespace
