// Routing and key-message rules of the game-input stand-in; see game_keys.h.
#include "platform/core/game_keys.h"

namespace gamekeys {

bool Route(const Situation& s) {
  if (!s.open || !s.targetValid || s.passThrough) return false;
  if (s.mode == kForegroundOnly) return s.targetForeground && s.targetHasFocus;
  return true;
}

uint32_t SideSpecificVk(uint32_t vk, uint32_t scanCode, bool extended) {
  switch (vk) {
    case 0x10: return (scanCode & 0xFF) == 0x36 ? 0xA1 : 0xA0;  // Shift
    case 0x11: return extended ? 0xA3 : 0xA2;                   // Ctrl
    case 0x12: return extended ? 0xA5 : 0xA4;                   // Alt
    default: return vk;
  }
}

uint32_t KeyLParam(uint32_t scanCode, bool extended, bool up, bool wasDown) {
  uint32_t l = 1u | ((scanCode & 0xFFu) << 16);
  if (extended) l |= 1u << 24;
  if (up || wasDown) l |= 1u << 30;
  if (up) l |= 1u << 31;
  return l;
}

}  // namespace gamekeys
