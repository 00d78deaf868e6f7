// Capture slot transitions: idle -> k on arm; k -> k on a capture or a
// skipped key; k -> k with the field cleared on arming k again; k -> j on
// arming j; any -> idle on disarm.
#include "config/core/capture.h"

#include "config/core/key_caption.h"

namespace capture {

int SlotOfCommand(uint32_t id) {
  if (id >= 0x8801 && id <= 0x8804) return static_cast<int>(id - 0x8800);
  return 0;
}

uint16_t CommandOfSlot(int slot) { return static_cast<uint16_t>(0x8800 + slot); }

int32_t* FieldOf(settings::ConfigSettings& s, int slot) {
  switch (slot) {
    case 1: return &s.Button_1;
    case 2: return &s.Button_2;
    case 3: return &s.Ignore_1;
    case 4: return &s.Ignore_2;
    default: return nullptr;
  }
}

bool Arm(State& st, int k, settings::ConfigSettings& s) {
  int32_t* field = FieldOf(s, k);
  if (field == nullptr) return false;
  bool cleared = false;
  if (st.slot == k) {
    *field = 0;
    cleared = true;
  }
  st.slot = static_cast<int16_t>(k);
  return cleared;
}

void Disarm(State& st) { st.slot = 0; }

bool IsKeyMessage(uint32_t msg) {
  return msg == kWmKeyDown || msg == kWmChar || msg == kWmSysKeyDown || msg == kWmSysChar || msg == kWmSysCommand;
}

bool CapturesFrom(uint32_t msg) { return msg == kWmKeyDown || msg == kWmSysKeyDown; }

bool ClosesWindow(const State& st, uint32_t msg, uint64_t wParam) {
  constexpr uint64_t kScClose = 0xF060, kEscape = 0x1B;
  if (msg == kWmSysCommand) return (wParam & 0xFFF0) == kScClose;
  return msg == kWmKeyDown && st.slot == 0 && (wParam & 0xFFFF) == kEscape;
}

Outcome OnKeyMessage(const State& st, uint32_t msg, uint64_t wParam, settings::ConfigSettings& s) {
  Outcome none{0, 0};
  if (!CapturesFrom(msg)) return none;
  int32_t* field = FieldOf(s, st.slot);
  if (field == nullptr) return none;
  const int32_t code = keycaption::KeyCodeFromWParam(wParam);
  if (code == s.Ignore_1 || code == s.Ignore_2) return none;
  *field = code;
  return Outcome{st.slot, code};
}

}  // namespace capture
