// The unlock decision of the lock window, apart from Win32: what a key-down
// or key-up of the lock window does to the held flags and the double-press
// memory, and whether it unlocks. The window procedure feeds it the key,
// the settings read at start and GetTickCount; the tests feed it tables.
// Pure: no <windows.h>.
#pragma once
#include <cstdint>

namespace unlock {

// Two presses of the unlock buttons closer than this unlock (DoubleClick).
constexpr uint32_t kDoublePressMs = 800;

// The phone's Talk (VK_F3) and End (VK_F4) keys, let through during a call.
constexpr int32_t kTalkKey = 0x72;
constexpr int32_t kEndKey = 0x73;

struct Buttons {
  int32_t button1 = 0;
  int32_t button2 = 0;
  int32_t doubleClick = 0;  // non-zero enables the double-press rule
};

// Owned by the window procedure. `hasEarlierPress` is separate from the
// remembered tick so that a first press never unlocks, also when the tick
// count itself is still below 800 after boot.
struct State {
  int32_t held1 = 0;
  int32_t held2 = 0;
  bool hasEarlierPress = false;
  uint32_t earlierPressTick = 0;
};

enum class KeyDownResult {
  kWake,    // not an unlock: wake the refresh thread and re-front the window
  kUnlock,  // set "End_Event", then close the lock window
};

// The key of a key message: the low 16 bits of its first parameter taken as
// a signed 16-bit number.
int32_t KeyFromParam(uint64_t wParam);

// Whether a key of a key message is the stored unlock button. The keys
// arrive with their side-specific codes (left Alt 0xA4, right Ctrl 0xA3),
// so a stored Shift, Ctrl or Alt without a side (0x10, 0x11, 0x12: a
// configuration made before, or a key captured from a window message)
// would never arrive: it matches either side.
bool KeyMatches(int32_t stored, int32_t key);

// Whether the key-down is the Talk or End key that a call lets through.
bool IsCallKey(int32_t key);

// Key-down of `key` at `tick` (the two-button rule first, then the
// double-press rule). The held flags are not cleared by an unlock.
KeyDownResult OnKeyDown(State& state, const Buttons& buttons, int32_t key, uint32_t tick);

// Key-up of `key`: clears the held flag of an unlock button, nothing else.
void OnKeyUp(State& state, const Buttons& buttons, int32_t key);

}  // namespace unlock
