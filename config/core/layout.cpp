// The configuration window's arithmetic. Every division truncates toward
// zero as integer division does; the one product with 3.7 is taken in
// double precision and truncated, as the window has always done.
#include "config/core/layout.h"

namespace layout {

const wchar_t* const kLabelTexts[kLabelCount] = {
    L"Unlock buttons:", L"Ignore buttons:",  L"Type of clock:", L"Re-Activation Time:",
    L"seconds",         L"Activation Time:", L"minutes"};

namespace {

struct Columns {
  int32_t M, W, F, BH;
  int32_t left, right, full;  // x of the left, right and full-row columns
  int32_t field, spin;        // x of a number field and of its spin control
};

Columns ColumnsOf(const Metrics& m) {
  Columns c;
  c.M = m.R / 20;
  c.W = (m.R - m.R / 5) / 2;
  c.F = m.R - m.R / 5;
  c.BH = 6 * m.LH / 4;
  c.left = m.L + c.M;
  c.right = m.R - c.M - c.W;
  c.full = m.L + 5;
  c.field = m.R - c.M - c.W - 2 * m.CW;
  c.spin = m.R - c.M - c.W + 3 * m.CW;
  return c;
}

struct Rows {
  int32_t unlock, ignore, doubleClick, autoRun, startup, clock, reactivation, onAC, activation;
};

Rows RowsOf(const Metrics& m) {
  const int32_t T = m.T, LH = m.LH;
  Rows r;
  r.unlock = T + 6 * LH / 4 + LH + 9;
  r.ignore = T + 3 * LH + 12 * LH / 4;
  r.doubleClick = T + 3 * (LH + 2) + 18 * LH / 4;
  r.autoRun = T + 3 * (LH + 1) + 24 * LH / 4;
  r.startup = T + 3 * LH + 30 * LH / 4;
  r.clock = T + 4 * LH + 36 * LH / 4;
  r.reactivation = T + 4 * LH + 42 * LH / 4 + 2;
  r.onAC = T + 48 * LH / 4 + static_cast<int32_t>(3.7 * static_cast<double>(LH)) + 1;
  r.activation = T + 5 * (LH + 1) + 48 * LH / 4;
  return r;
}

}  // namespace

void PlaceControls(const Metrics& m, Box out[kControlCount]) {
  const Columns c = ColumnsOf(m);
  const Rows r = RowsOf(m);
  const int32_t fieldW = 5 * m.CW, fieldH = m.TH + 3;
  out[kButton1] = {c.left, r.unlock, c.W, c.BH};
  out[kButton2] = {c.right, r.unlock, c.W, c.BH};
  out[kIgnore1] = {c.left, r.ignore, c.W, c.BH};
  out[kIgnore2] = {c.right, r.ignore, c.W, c.BH};
  out[kDoubleClick] = {c.full, r.doubleClick, c.F, c.BH};
  out[kAutoRun] = {c.full, r.autoRun, c.F, c.BH};
  out[kStartup] = {c.full, r.startup, c.F, c.BH};
  out[kAnalog] = {c.left, r.clock, c.W, c.BH};
  out[kDigital] = {c.right, r.clock, c.W, c.BH};
  out[kTimeOutField] = {c.field, r.reactivation, fieldW, fieldH};
  out[kTimeOutSpin] = {c.spin, r.reactivation, kTimeOutSpinWidth, fieldH};
  out[kOnAC] = {c.full, r.onAC, c.F, c.BH};
  out[kActivationField] = {c.field, r.activation, fieldW, fieldH};
  out[kActivationSpin] = {c.spin, r.activation, kActivationSpinWidth, fieldH};
}

void PlaceLabels(const Metrics& m, Rect out[kLabelCount]) {
  const Columns c = ColumnsOf(m);
  const int32_t T = m.T, LH = m.LH, R = m.R;
  // The lefts 5 and R / 20 are absolute, not offset by the client's left.
  const int32_t unitLeft = R - c.M - c.W + 7 * m.CW;
  const int32_t unlockTop = T + 6 * LH / 4 + 6;
  out[kUnlockLabel] = {5, unlockTop, R, unlockTop + LH};
  const int32_t ignoreTop = out[kUnlockLabel].bottom + 6 * LH / 4 + 8;
  out[kIgnoreLabel] = {5, ignoreTop, R, ignoreTop + LH};
  const int32_t clockTop = T + 3 * LH + 36 * LH / 4 - 2;
  out[kClockLabel] = {5, clockTop, R, clockTop + LH};
  const int32_t reactivationTop = T + 4 * LH + 42 * LH / 4 + 2;
  out[kReactivationLabel] = {5, reactivationTop, R, reactivationTop + LH};
  out[kSecondsLabel] = {unitLeft, reactivationTop, R, reactivationTop + LH};
  const int32_t activationTop = T + 5 * (LH + 1) + 48 * LH / 4;
  out[kActivationLabel] = {R / 20, activationTop, R, activationTop + LH + 5};
  out[kMinutesLabel] = {unitLeft, activationTop, R, activationTop + LH + 5};
}

}  // namespace layout
