// The lock screen's face on a 1366x768 PC screen: the "hd.jpg" face scaled
// to fit, centred with black margins, its texts on the picture at the
// scaled size, the digital time on it, the hands turning on the dial and
// leaving the face beneath.
#include <gtest/gtest.h>

#include "tests/wine/support/fitted_support.h"
#include "tests/wine/support/paint_support.h"

namespace {

class PaintFace1366 : public pt_face::PaintTestOn<1366, 768> {};

TEST_F(PaintFace1366, AnalogFaceFitsTheScreen) { pt_fit::CheckFace(1, &lock_); }

TEST_F(PaintFace1366, DigitalFaceFitsTheScreen) { pt_fit::CheckFace(2, &lock_); }

}  // namespace
