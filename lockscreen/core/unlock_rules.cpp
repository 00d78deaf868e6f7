// The unlock state machine: two held buttons, or two presses of the unlock
// buttons within 800 ms when DoubleClick is on.
#include "lockscreen/core/unlock_rules.h"

namespace unlock {

int32_t KeyFromParam(uint64_t wParam) {
  return static_cast<int32_t>(static_cast<int16_t>(static_cast<uint16_t>(wParam & 0xFFFFu)));
}

bool KeyMatches(int32_t stored, int32_t key) {
  if (stored == key) return true;
  switch (stored) {
    case 0x10: return key == 0xA0 || key == 0xA1;  // Shift
    case 0x11: return key == 0xA2 || key == 0xA3;  // Ctrl
    case 0x12: return key == 0xA4 || key == 0xA5;  // Alt
    default: return false;
  }
}

bool IsCallKey(int32_t key) { return key == kTalkKey || key == kEndKey; }

KeyDownResult OnKeyDown(State& state, const Buttons& buttons, int32_t key, uint32_t tick) {
  // Equal codes set both flags with one key-down: a single button unlocks.
  const bool is1 = KeyMatches(buttons.button1, key), is2 = KeyMatches(buttons.button2, key);
  if (is1) state.held1 = 1;
  if (is2) state.held2 = 1;
  if (state.held1 == 1 && state.held2 == 1) return KeyDownResult::kUnlock;

  bool isButton = is1 || is2;
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
  if (KeyMatches(buttons.button1, key)) state.held1 = 0;
  if (KeyMatches(buttons.button2, key)) state.held2 = 0;
}

}  // namespace unlock
