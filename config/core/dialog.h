// Tollwick on a PC screen. The configuration window is laid out for a
// phone: full screen, with an "Ok"/"Cancel" bar along the bottom. On a
// screen wider than the largest device class that fills a monitor with
// controls sized for 240 pixels, so there it is a normal dialog instead:
// the same control layout for a 240- or 480-pixel client, a caption with a
// close button, "Ok" and "Cancel" as buttons inside, centred in the
// monitor's work area. Pure: no <windows.h>.
#pragma once
#include <cstdint>

#include "config/core/layout.h"

namespace dialog {

constexpr int32_t kLargestDeviceWidth = 800;  // the widest device class (800x480)

// Whether a screen this wide gets the dialog.
bool IsPcScreen(int32_t screenWidth);

// The widths, in the window's font, of the texts that must fit their
// places: the widest full-row check box text, and the two labels that a
// number field follows on their row.
struct TextWidths {
  int32_t widestCheckBox;
  int32_t reactivationLabel, activationLabel;
};
// The client width: 240 when, laid out for 240 pixels with the font's
// metrics `m` (L, T, R are ignored), the widest check box text with the
// box's mark before it (a line height and a gap) fits the full row and
// both labels end before their number fields; else 480 (a wide system
// font, high DPI).
int32_t ClientWidth(const TextWidths& widths, const layout::Metrics& m);

// "Ok" and "Cancel" below every control and label, at the right, and the
// client height that holds them with a margin.
struct Buttons {
  layout::Box ok, cancel;
  int32_t clientHeight;
};
Buttons PlaceButtons(const layout::Metrics& m);

// A window of outer size width x height centred in the work area; where
// it is larger than the area its top-left corner stays inside, so the
// caption and its close button can always be reached.
layout::Rect CentreIn(const layout::Rect& work, int32_t width, int32_t height);

}  // namespace dialog
