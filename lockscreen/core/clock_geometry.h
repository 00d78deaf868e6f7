// The analog clock's placement and hands as arithmetic on integers and
// doubles: where the dial sits for a client size and date font, and the
// line of each hand for a time. The Win32 clock (lockscreen/clock.cpp)
// only draws these lines. Pure: no <windows.h>.
#pragma once
#include <cstdint>

#include "lockscreen/core/layout.h"

namespace clockgeo {

struct Point {
  int32_t x = 0, y = 0;
};

// A hand as drawn: from the centre to the tip. All zero means "never drawn".
struct HandLine {
  Point centre, tip;
};
inline bool IsZeroLine(const HandLine& h) { return h.centre.x == 0 && h.centre.y == 0 && h.tip.x == 0 && h.tip.y == 0; }
inline bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }

struct AnalogPlacement {
  int32_t radius = 0;  // 50 or 70
  Point centre;
  layout::Rect clockRect;
  int32_t landscape = 0;  // 1 when width >= height (bottom <= right)
};

// Radius 70 when both slacks exceed 70 (height slack from the date line's
// font height H and external leading E), else 50; centre x in the middle,
// centre y 10 above the middle on screens under 400 pixels, else at 180.
AnalogPlacement PlaceAnalog(const layout::Rect& client, int32_t dateHeight, int32_t dateExternalLeading);

// Angles in radians, clockwise from twelve, to these exact doubles.
constexpr double kHalfDegree = 0.008726646259722222;  // the hour hand per minute of the day
constexpr double kSixDegrees = 0.10471975511666666;   // the minute and second hands per unit

// Tip = centre + (trunc(L sin t), -trunc(L cos t)), L = radius * factor,
// truncated toward zero. The radius is a double so that a face scaled to a
// larger screen turns its hands at the scaled length (on a device class it
// is the whole 50 or 70, which gives the same products).
HandLine HourHand(Point centre, double radius, int32_t hour, int32_t minute);  // L = 0.6 R
HandLine MinuteHand(Point centre, double radius, int32_t minute);              // L = 0.9 R
HandLine SecondHand(Point centre, double radius, int32_t second);              // L = 0.91 R

// The cap's box: (x - half, y - half, x + half, y + half), half 2 on a
// device class.
layout::Rect CapBox(Point centre, int32_t half = 2);

}  // namespace clockgeo
