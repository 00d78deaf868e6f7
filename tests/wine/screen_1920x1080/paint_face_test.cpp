// The lock screen's face on a 1920x1080 PC screen: the "hd.jpg" face scaled
// to fit, centred with black margins, its texts on the picture at the
// scaled size, the hands turning on the dial and leaving the face beneath.
#include <gtest/gtest.h>

#include "tests/wine/support/fitted_support.h"
#include "tests/wine/support/paint_support.h"

namespace {

class PaintFace1920 : public pt_face::PaintTestOn<1920, 1080> {};

TEST_F(PaintFace1920, AnalogFaceFitsTheScreen) { pt_fit::CheckFace(1, &lock_); }

}  // namespace
