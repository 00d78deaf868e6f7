// The lock window's way to the front (see front.h). One table holds the
// step list of every occasion, so that the orders can be compared at a
// glance; each list keeps the order its occasion has always used.
#include "lockscreen/front.h"

#include <iterator>

#include "platform/fullscreen.h"
#include "platform/gameinput.h"
#include "platform/window.h"

namespace {

// The device's bars hidden: on the desktop the window goes top-most over
// the whole screen.
const DWORD kHideBars = SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON;  // 0x2A

enum Step {
  kShow,        // ShowWindow SW_SHOWNORMAL
  kFullScreen,  // SHFullScreen with the bars hidden
  kForeground,  // SetForegroundWindow
  kToTop,       // BringWindowToTop
  kFillScreen,  // moved and sized to the whole screen, repainted
  kActivate,    // SetActiveWindow
  kFocus,       // SetFocus
  kTakeKeys,    // GXResume: the keyboard hook afresh
  kPaint,       // UpdateWindow: a pending paint now
};

// A run of steps under the same condition is one block: the condition is
// read once, before the block's first step, as an `if` around the block.
enum When { kAlways, kUnlessForeground, kUnlessActive };

struct FrontStep {
  When when;
  Step step;
};

const FrontStep kAtStart[] = {
    {kAlways, kShow},
    {kAlways, kFullScreen},
    {kUnlessForeground, kForeground},
    {kUnlessForeground, kFullScreen},
    {kUnlessForeground, kFillScreen},
    {kUnlessForeground, kToTop},
    {kUnlessActive, kActivate},
    {kAlways, kFocus},
    {kAlways, kPaint},
};
const FrontStep kOnActivate[] = {
    {kUnlessForeground, kForeground},
    {kUnlessForeground, kFullScreen},
    {kUnlessForeground, kFillScreen},
};
const FrontStep kOnDisplayChange[] = {
    {kAlways, kFullScreen},
};
const FrontStep kOnInput[] = {
    {kUnlessForeground, kFullScreen},
    {kUnlessForeground, kToTop},
    {kUnlessForeground, kForeground},
    {kUnlessActive, kActivate},
    {kAlways, kFocus},
    {kAlways, kTakeKeys},
    {kAlways, kPaint},
};
const FrontStep kRefreshEntry[] = {
    {kUnlessForeground, kFullScreen},
    {kUnlessForeground, kToTop},
    {kUnlessActive, kActivate},
    {kAlways, kFocus},
    {kAlways, kTakeKeys},
    {kAlways, kPaint},
};
const FrontStep kRefreshTick[] = {
    {kUnlessForeground, kToTop}, {kUnlessForeground, kForeground}, {kUnlessForeground, kFullScreen},
    {kUnlessActive, kActivate},  {kUnlessActive, kFocus},          {kUnlessActive, kTakeKeys},
    {kAlways, kPaint},
};
// The paint comes last and now, while the refresh thread still runs: a
// paint left for later would wake a new period right after this one went
// dark.
const FrontStep kBeforeDark[] = {
    {kAlways, kToTop},    {kAlways, kForeground}, {kAlways, kFullScreen}, {kAlways, kFillScreen},
    {kAlways, kActivate}, {kAlways, kFocus},      {kAlways, kTakeKeys},   {kAlways, kPaint},
};
const FrontStep kPaintNow[] = {
    {kAlways, kPaint},
};
const FrontStep kKeysAgain[] = {
    {kAlways, kTakeKeys},
};

struct StepList {
  const FrontStep* steps;
  size_t count;
};
template <size_t N>
constexpr StepList ListOf(const FrontStep (&steps)[N]) {
  return {steps, N};
}

// In the order of FrontWay.
const StepList kWays[kFrontWayCount] = {
    ListOf(kAtStart),     ListOf(kOnActivate), ListOf(kOnDisplayChange), ListOf(kOnInput),   ListOf(kRefreshEntry),
    ListOf(kRefreshTick), ListOf(kBeforeDark), ListOf(kPaintNow),        ListOf(kKeysAgain),
};

bool Holds(When when, HWND window) {
  switch (when) {
    case kUnlessForeground: return GetForegroundWindow() != window;
    case kUnlessActive: return GetActiveWindow() != window;
    case kAlways: break;
  }
  return true;
}

void Run(Step step, HWND window) {
  switch (step) {
    case kShow: ShowWindow(window, SW_SHOWNORMAL); break;
    case kFullScreen: SHFullScreen(window, kHideBars); break;
    case kForeground: SetForegroundWindowCe(window); break;
    case kToTop: BringWindowToTop(window); break;
    case kFillScreen:
      MoveWindow(window, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), TRUE);
      break;
    case kActivate: SetActiveWindow(window); break;
    case kFocus: SetFocus(window); break;
    case kTakeKeys: GXResume(); break;
    case kPaint: UpdateWindow(window); break;
  }
}

}  // namespace

void BringLockToFront(HWND window, FrontWay way) {
  if (way < 0 || way >= kFrontWayCount) return;
  const StepList& list = kWays[way];
  bool blockRuns = true;
  for (size_t i = 0; i < list.count; ++i) {
    const FrontStep& s = list.steps[i];
    if (i == 0 || s.when != list.steps[i - 1].when) blockRuns = Holds(s.when, window);
    if (blockRuns) Run(s.step, window);
  }
}
