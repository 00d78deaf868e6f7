// The face's fit to the screen (see face_fit.h). The scale is kept as a
// fraction (the screen's side over the class's side) so that every mapped
// coordinate is exact integer arithmetic.
#include "lockscreen/core/face_fit.h"

namespace facefit {
namespace {

// Floor division for a positive divisor: face coordinates left of or above
// the face (a region pushed out by enormous fonts) still map monotonically.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// How far apart two aspect ratios are, as the ratio of the larger to the
// smaller (1 when equal): the same distance for a screen and its turn.
double AspectDistance(int64_t large, int64_t small, const layout::ScreenClass& c) {
  const double a = static_cast<double>(large) * c.small, b = static_cast<double>(small) * c.large;
  return a > b ? a / b : b / a;
}

}  // namespace

FaceChoice ChooseFace(int32_t screenWidth, int32_t screenHeight) {
  const int64_t large = screenWidth > screenHeight ? screenWidth : screenHeight;
  const int64_t small = screenWidth > screenHeight ? screenHeight : screenWidth;
  for (const layout::ScreenClass& c : layout::kScreenClasses) {
    if (c.large == large && c.small == small) return {c.skin, false, c.large, c.small};
  }
  // The class nearest in aspect ratio; on a tie (4:3 is vga and qvga) the
  // first in the table, the larger picture, which is scaled least. A
  // degenerate screen (a side of 0) takes the first class too.
  const layout::ScreenClass* best = &layout::kScreenClasses[0];
  if (small > 0) {
    double bestDistance = AspectDistance(large, small, *best);
    for (const layout::ScreenClass& c : layout::kScreenClasses) {
      const double d = AspectDistance(large, small, c);
      if (d < bestDistance) {
        bestDistance = d;
        best = &c;
      }
    }
  }
  return {best->skin, true, best->large, best->small};
}

FaceFit FitFace(const FaceChoice& choice, const layout::Rect& client) {
  FaceFit f;
  f.face = client;
  if (!choice.fitted) return f;
  const int64_t width = int64_t{client.right} - client.left, height = int64_t{client.bottom} - client.top;
  const bool landscape = layout::IsLandscape(client);
  const int32_t faceWidth = landscape ? choice.large : choice.small;
  const int32_t faceHeight = landscape ? choice.small : choice.large;
  f.face = {0, 0, faceWidth, faceHeight};
  // The scale is the smaller of width / faceWidth and height / faceHeight.
  if (width * faceHeight <= height * faceWidth) {
    f.num = width > 0 ? width : 1;
    f.den = faceWidth;
  } else {
    f.num = height > 0 ? height : 1;
    f.den = faceHeight;
  }
  f.offsetX = static_cast<int32_t>(client.left + (width - faceWidth * f.num / f.den) / 2);
  f.offsetY = static_cast<int32_t>(client.top + (height - faceHeight * f.num / f.den) / 2);
  return f;
}

int32_t MapX(const FaceFit& fit, int32_t x) {
  return static_cast<int32_t>(fit.offsetX + FloorDiv(int64_t{x} * fit.num, fit.den));
}

int32_t MapY(const FaceFit& fit, int32_t y) {
  return static_cast<int32_t>(fit.offsetY + FloorDiv(int64_t{y} * fit.num, fit.den));
}

layout::Rect MapRect(const FaceFit& fit, const layout::Rect& r) {
  return {MapX(fit, r.left), MapY(fit, r.top), MapX(fit, r.right), MapY(fit, r.bottom)};
}

int32_t ScaleLength(const FaceFit& fit, int32_t length) {
  if (length <= 0) return length;
  const int64_t scaled = (2 * int64_t{length} * fit.num + fit.den) / (2 * fit.den);  // to the nearest
  return scaled < 1 ? 1 : static_cast<int32_t>(scaled);
}

double ScaleReal(const FaceFit& fit, double length) {
  return length * static_cast<double>(fit.num) / static_cast<double>(fit.den);
}

bool SameScale(const FaceFit& a, const FaceFit& b) { return a.num * b.den == b.num * a.den; }

}  // namespace facefit
