// Tollwick's dialog on a PC screen (see dialog.h). The controls keep the
// device layout's arithmetic (layout.cpp) for the chosen client width; this
// file only adds the two buttons below them and places the window.
#include "config/core/dialog.h"

namespace dialog {

bool IsPcScreen(int32_t screenWidth) { return screenWidth > kLargestDeviceWidth; }

int32_t ClientWidth(const TextWidths& widths, const layout::Metrics& font) {
  const layout::Metrics m{0, 0, 240, font.LH, font.TH, font.CW};
  layout::Box boxes[layout::kControlCount];
  layout::Rect labels[layout::kLabelCount];
  layout::PlaceControls(m, boxes);
  layout::PlaceLabels(m, labels);
  const bool checkBoxes = widths.widestCheckBox + m.LH + 8 <= boxes[layout::kDoubleClick].w;
  const bool reactivation =
      labels[layout::kReactivationLabel].left + widths.reactivationLabel <= boxes[layout::kTimeOutField].x;
  const bool activation =
      labels[layout::kActivationLabel].left + widths.activationLabel <= boxes[layout::kActivationField].x;
  return checkBoxes && reactivation && activation ? 240 : 480;
}

Buttons PlaceButtons(const layout::Metrics& m) {
  layout::Box boxes[layout::kControlCount];
  layout::Rect labels[layout::kLabelCount];
  layout::PlaceControls(m, boxes);
  layout::PlaceLabels(m, labels);
  int32_t lowest = m.T;
  for (const layout::Box& b : boxes) lowest = b.y + b.h > lowest ? b.y + b.h : lowest;
  for (const layout::Rect& r : labels) lowest = r.bottom > lowest ? r.bottom : lowest;
  // The margin and the buttons' height are those of the device layout: the
  // side margin R / 20 and a button row's 6 LH / 4; each button is three
  // quarters of a half row wide, "Cancel" at the right edge.
  const int32_t margin = m.R / 20, height = 6 * m.LH / 4, width = 3 * ((m.R - m.R / 5) / 2) / 4;
  Buttons out;
  const int32_t top = lowest + m.LH;
  out.cancel = {m.R - margin - width, top, width, height};
  out.ok = {out.cancel.x - margin / 2 - width, top, width, height};
  out.clientHeight = top + height + margin;
  return out;
}

layout::Rect CentreIn(const layout::Rect& work, int32_t width, int32_t height) {
  int32_t left = work.left + (work.right - work.left - width) / 2;
  int32_t top = work.top + (work.bottom - work.top - height) / 2;
  if (left < work.left) left = work.left;
  if (top < work.top) top = work.top;
  return {left, top, left + width, top + height};
}

}  // namespace dialog
