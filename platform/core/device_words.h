// Words of the device tool (tools/ovdevice): the power broadcasts it names
// and the numbers it accepts. Pure, so that the table and the number rules
// are unit-tested natively.
#pragma once
#include <cstdint>

namespace devicewords {

struct PowerWord {
  const wchar_t* word;
  uint32_t message;  // PBT_ kind
  uint32_t flags;    // POWER_STATE_ flags
};

// The record a named power event sends; false for an unknown word.
bool PowerByWord(const wchar_t* word, PowerWord* out);

// A hexadecimal number of 1-8 digits, with or without "0x".
bool ParseHex32(const wchar_t* text, uint32_t* out);
// A decimal number within [0, max].
bool ParseDecimal(const wchar_t* text, uint32_t max, uint32_t* out);

}  // namespace devicewords
