// Where the configuration window's fourteen controls and seven labels go,
// computed from the client rectangle and the font's metrics alone, so the
// whole arrangement is checked natively against the worked 240-pixel case.
// Pure: no <windows.h>.
#pragma once
#include <cstdint>

namespace layout {

// The client rectangle's left, top and right, and the default font's line
// height (tmHeight + tmExternalLeading), character height (tmHeight) and
// average character width (tmAveCharWidth). The bottom is never used.
struct Metrics {
  int32_t L, T, R;
  int32_t LH, TH, CW;
};

// A control's place: left, top, width, height.
struct Box {
  int32_t x, y, w, h;
};

// A label's rectangle for DrawText: left, top, right, bottom.
struct Rect {
  int32_t left, top, right, bottom;
};

// Controls in creation order.
enum Control : int {
  kButton1 = 0,
  kButton2,
  kIgnore1,
  kIgnore2,
  kDoubleClick,
  kAutoRun,
  kStartup,
  kAnalog,
  kDigital,
  kTimeOutField,
  kTimeOutSpin,
  kOnAC,
  kActivationField,
  kActivationSpin,
  kControlCount
};

enum Label : int {
  kUnlockLabel = 0,
  kIgnoreLabel,
  kClockLabel,
  kReactivationLabel,
  kSecondsLabel,
  kActivationLabel,
  kMinutesLabel,
  kLabelCount
};

// The two spin controls differ in width on purpose.
constexpr int32_t kTimeOutSpinWidth = 40;
constexpr int32_t kActivationSpinWidth = 20;

void PlaceControls(const Metrics& m, Box out[kControlCount]);
void PlaceLabels(const Metrics& m, Rect out[kLabelCount]);

// The fixed texts of the labels, in Label order.
extern const wchar_t* const kLabelTexts[kLabelCount];

}  // namespace layout
