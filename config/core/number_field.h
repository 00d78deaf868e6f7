// The conversion of a number field's text on "Ok". Pure.
#pragma once
#include <cstddef>
#include <cstdint>

namespace numberfield {

// The field is read into an 8-unit buffer: at most 7 characters count.
constexpr size_t kMaxChars = 7;

// Leading white space and one sign are accepted, digits are read up to the
// first non-digit, text without digits gives 0. Only the first kMaxChars
// characters are looked at. No range check: "500" gives 500, "-3" gives -3.
int32_t Parse(const wchar_t* text);

}  // namespace numberfield
