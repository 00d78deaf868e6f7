// Number-field conversion. Seven characters hold at most seven digits, so
// the value always fits in 32 bits.
#include "config/core/number_field.h"

namespace numberfield {

namespace {
bool IsSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
}  // namespace

int32_t Parse(const wchar_t* text) {
  if (text == nullptr) return 0;
  size_t i = 0;
  while (i < kMaxChars && text[i] != L'\0' && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < kMaxChars && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i] == L'-';
    ++i;
  }
  int32_t value = 0;
  while (i < kMaxChars && text[i] >= L'0' && text[i] <= L'9') {
    value = value * 10 + (text[i] - L'0');
    ++i;
  }
  return negative ? -value : value;
}

}  // namespace numberfield
