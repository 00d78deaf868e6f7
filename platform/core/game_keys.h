// Rules of the game-input stand-in (platform/gameinput.cpp): which keys the
// keyboard hook takes for the target window, and the key message it posts in
// their place. Pure so that the routing table is unit-tested natively.
#pragma once
#include <cstdint>

namespace gamekeys {

enum Mode : int {
  kExclusive = 0,       // every key goes to the target (the lock screen)
  kForegroundOnly = 1,  // only while the target is in front and has focus
};

struct Situation {
  int mode;
  bool open;               // GXOpenInput in force
  bool targetValid;        // a live target window exists
  bool passThrough;        // the key carries the pass-through marker
  bool targetForeground;   // the target is the foreground window
  bool targetHasFocus;     // the keyboard focus is the target itself
};

// True when the hook swallows the key and posts it to the target.
bool Route(const Situation& s);

// lParam of the posted WM_KEYDOWN/WM_KEYUP: repeat count 1, the scan code,
// the extended-key bit, bit 30 the previous state (1 for a repeat and for
// every key-up) and bit 31 for a key-up.
uint32_t KeyLParam(uint32_t scanCode, bool extended, bool up, bool wasDown);

}  // namespace gamekeys
