// Key codes as the configuration program takes them from key messages, and
// the caption a capture button shows for one. Pure.
#pragma once
#include <cstddef>
#include <cstdint>

namespace keycaption {

constexpr size_t kCapacity = 32;  // units, terminator included

// The low 16 bits of a key message's wParam as a signed 16-bit number,
// widened with its sign: 0x00C1 stays 193, 0xF060 becomes -4000.
int32_t KeyCodeFromWParam(uint64_t wParam);

// "0x" and at least three lower-case hexadecimal digits of the code's 32-bit
// two's complement ("0x%03x"): 193 -> "0x0c1", -4000 -> "0xfffff060".
// Built by hand so that the native and the Windows runtimes agree.
void FormatCode(int32_t code, wchar_t out[kCapacity]);

// The caption of capture slot 1..4: its default name ("Button1", "Button2",
// "Ignore1", "Ignore2") while the code is 0, else the formatted code.
void Caption(int slot, int32_t code, wchar_t out[kCapacity]);
const wchar_t* DefaultCaption(int slot);

}  // namespace keycaption
