// Routing and key-message rules of the game-input stand-in; see game_keys.h.
#include "platform/core/game_keys.h"

namespace gamekeys {

bool Route(const Situation& s) {
  if (!s.open || !s.targetValid || s.passThrough) return false;
  if (s.mode == kForegroundOnly) return s.targetForeground && s.targetHasFocus;
  return true;
}

uint32_t KeyLParam(uint32_t scanCode, bool extended, bool up, bool wasDown) {
  uint32_t l = 1u | ((scanCode & 0xFFu) << 16);
  if (extended) l |= 1u << 24;
  if (up || wasDown) l |= 1u << 30;
  if (up) l |= 1u << 31;
  return l;
}

}  // namespace gamekeys
