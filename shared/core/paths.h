// Composing the suite's paths from a shell folder and a fixed tail, inside
// the 128-unit buffers the programs use. Pure.
#pragma once
#include <cstddef>
#include <cstdint>

namespace paths {

constexpr size_t kCapacity = 128;  // units, terminator included

constexpr const wchar_t* kLockScreenTail = L"\\Ombrevale\\Hushpane\\Corvane.exe";             // Program Files +
constexpr const wchar_t* kServiceTail = L"\\Ombrevale\\Hushpane\\Hushpane.exe";               // Program Files +
constexpr const wchar_t* kStartupShortcutTail = L"\\OV Hushpane.lnk";                         // Startup +
constexpr const wchar_t* kInstalledShortcutTail = L"\\Ombrevale\\Hushpane\\OV Hushpane.lnk";  // Programs +

// out = folder + tail when the result fits in `capacity` units with its
// terminator; otherwise false and out is the empty string (an overlong path
// is refused, never cut into a different, wrong path).
bool Compose(wchar_t* out, size_t capacity, const wchar_t* folder, const wchar_t* tail);

}  // namespace paths

namespace owner {

constexpr size_t kMaxUnits = 64;  // terminator included (the 128-byte buffer)

// Fallback shown instead of a missing, mistyped or overlong owner name.
constexpr const wchar_t* kVendorText = L"www.ombrevale.com";

// Length of a stored owner name, given the bytes of a REG_SZ value: the
// name counts only when a terminator lies within the first 64 units.
// Returns -1 when it does not count.
int StoredNameLength(const uint8_t* bytes, size_t size);

}  // namespace owner
