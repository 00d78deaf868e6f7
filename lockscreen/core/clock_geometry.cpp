// The analog clock's placement and hand lines (see clock_geometry.h). The
// divisions are C++ integer divisions, which truncate toward zero as the
// placement requires; the hand products are formed in doubles as
// (R * factor) * sin t and truncated toward zero.
#include "lockscreen/core/clock_geometry.h"

#include <cmath>

namespace clockgeo {
namespace {

// trunc toward zero into 32 bits; a value outside the range (only from an
// absurd radius) is held at the range's edge rather than being undefined.
int32_t Trunc(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

HandLine Hand(Point centre, double radius, double factor, double angle) {
  const double length = radius * factor;
  HandLine h;
  h.centre = centre;
  h.tip.x = static_cast<int32_t>(int64_t{centre.x} + Trunc(length * std::sin(angle)));
  h.tip.y = static_cast<int32_t>(int64_t{centre.y} - Trunc(length * std::cos(angle)));
  return h;
}

}  // namespace

AnalogPlacement PlaceAnalog(const layout::Rect& client, int32_t dateHeight, int32_t dateExternalLeading) {
  const int64_t width = int64_t{client.right} - client.left;
  const int64_t height = int64_t{client.bottom} - client.top;
  const int64_t heightSlack = (height - 2 * (int64_t{dateHeight} + dateExternalLeading) - 115) / 2;
  const int64_t widthSlack = (width - 50) / 2;
  const int64_t smaller = heightSlack < widthSlack ? heightSlack : widthSlack;
  AnalogPlacement p;
  p.radius = smaller > 70 ? 70 : 50;
  p.centre.x = static_cast<int32_t>(width / 2);
  p.centre.y = client.bottom < 400 ? static_cast<int32_t>(height / 2 - 10) : 180;
  const int32_t reach = p.radius + 10;
  p.clockRect = {p.centre.x - reach, p.centre.y - reach, p.centre.x + reach, p.centre.y + reach};
  p.landscape = client.bottom <= client.right ? 1 : 0;
  return p;
}

HandLine HourHand(Point centre, double radius, int32_t hour, int32_t minute) {
  return Hand(centre, radius, 0.6, (60.0 * hour + minute) * kHalfDegree);
}

HandLine MinuteHand(Point centre, double radius, int32_t minute) {
  return Hand(centre, radius, 0.9, minute * kSixDegrees);
}

HandLine SecondHand(Point centre, double radius, int32_t second) {
  return Hand(centre, radius, 0.91, second * kSixDegrees);
}

layout::Rect CapBox(Point centre, int32_t half) {
  return {centre.x - half, centre.y - half, centre.x + half, centre.y + half};
}

}  // namespace clockgeo
