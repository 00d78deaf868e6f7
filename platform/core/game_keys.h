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
  bool open;              // GXOpenInput in force
  bool targetValid;       // a live target window exists
  bool passThrough;       // the key carries the pass-through marker
  bool targetForeground;  // the target is the foreground window
  bool targetHasFocus;    // the keyboard focus is the target itself
};

// True when the hook swallows the key and posts it to the target.
bool Route(const Situation& s);

// The side-specific code of a modifier key: the hook sees real key input
// as left/right codes (left Alt 0xA4) but injected keys as they were sent
// (VK_MENU 0x12). Both become the left/right code, so that the configuration
// program captures and the lock screen compares one code whatever the input
// path. Right-hand keys are told by the extended bit (Alt, Ctrl) or the
// scan code 0x36 (right Shift). Other codes are returned as they are.
uint32_t SideSpecificVk(uint32_t vk, uint32_t scanCode, bool extended);

// lParam of the posted WM_KEYDOWN/WM_KEYUP: repeat count 1, the scan code,
// the extended-key bit, bit 30 the previous state (1 for a repeat and for
// every key-up) and bit 31 for a key-up.
uint32_t KeyLParam(uint32_t scanCode, bool extended, bool up, bool wasDown);

}  // namespace gamekeys
