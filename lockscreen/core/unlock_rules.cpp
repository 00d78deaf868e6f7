// The unlock state machine: two held buttons, or two presses of the unlock
// buttons within 800 ms when DoubleClick is on.
#include "lockscreen/core/unlock_rules.h"

namespace unlock {

int32_t KeyFromParam(uint64_t wParam) {
  return static_cast<int32_t>(static_cast<int16_t>(static_cast<uint16_t>(wParam & 0xFFFFu)));
}

bool IsCallKey(int32_t key) { return key == kTalkKey || key == kEndKey; }

KeyDownResult OnKeyDown(State& state, const Buttons& buttons, int32_t key, uint32_t tick) {
  // Equal codes set both flags with one key-down: a single button unlocks.
  if (key == buttons.button1) state.held1 = 1;
  if (key == buttons.button2) state.held2 = 1;
  if (state.held1 == 1 && state.held2 == 1) return KeyDownResult::kUnlock;

  bool isButton = key == buttons.button1 || key == buttons.button2;
  if (buttons.doubleClick != 0 && isButton) {
    // Unsigned 32-bit difference: a wrap of the tick counter between the
    // two presses is harmless.
    uint32_t elapsed = tick - state.earlierPressTick;
    if (state.hasEarlierPress && elapsed < kDoublePressMs) return KeyDownResult::kUnlock;
    state.hasEarlierPress = true;
    state.earlierPressTick = tick;
  }
  return KeyDownResult::kWake;
}

void OnKeyUp(State& state, const Buttons& buttons, int32_t key) {
  if (key == buttons.button1) state.held1 = 0;
  if (key == buttons.button2) state.held2 = 0;
}

}  // namespace unlock
