// How the face meets a screen that is not one of the device classes. The
// composition (layout.h) and the clock (clock_geometry.h) are built for six
// screen classes; a PC monitor (1366x768, 1920x1080, portrait monitors) is
// none of them. There the face is composed for the class closest in aspect
// ratio, at that class's size, and shown scaled to fit the screen, centred,
// with black margins: every region, point, pen and font is carried from
// face coordinates to the screen by one fit. On the device classes the fit
// is the identity and nothing changes. Pure: no <windows.h>.
#pragma once
#include <cstdint>

#include "lockscreen/core/layout.h"

namespace facefit {

// The dots per inch the fitted face is composed at. The skins are drawn
// for a device class at this resolution; the face then scales with the
// screen, so the system's own scaling (125 %, 150 %) leaves it as it is.
constexpr int32_t kReferenceDpi = 96;

// Chosen once at window creation from the full-screen size.
struct FaceChoice {
  layout::SkinChoice skin;  // picture file name and skin size
  bool fitted;              // false on a device class: the face as it always was
  int32_t large, small;     // the class's sides (larger, smaller) in pixels
};
FaceChoice ChooseFace(int32_t screenWidth, int32_t screenHeight);

// Face coordinates to the client: x' = offsetX + x * num / den (rounded
// down), the same for y. `face` is the client the composition is computed
// for: the class's size in the client's orientation when fitted, the
// client itself otherwise.
struct FaceFit {
  layout::Rect face;
  int32_t offsetX = 0, offsetY = 0;
  int64_t num = 1, den = 1;
};
// The largest scale at which the class's face fits the client, centred.
FaceFit FitFace(const FaceChoice& choice, const layout::Rect& client);

int32_t MapX(const FaceFit& fit, int32_t x);
int32_t MapY(const FaceFit& fit, int32_t y);
layout::Rect MapRect(const FaceFit& fit, const layout::Rect& r);
// A length (pen width, font height, cap size) at the fit's scale, rounded
// to the nearest pixel and never below 1 for a positive length.
int32_t ScaleLength(const FaceFit& fit, int32_t length);
double ScaleReal(const FaceFit& fit, double length);
// Whether two fits draw at the same scale (pens and fonts need no remake).
bool SameScale(const FaceFit& a, const FaceFit& b);

}  // namespace facefit
