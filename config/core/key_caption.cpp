// Key codes and capture-button captions.
#include "config/core/key_caption.h"

namespace keycaption {

int32_t KeyCodeFromWParam(uint64_t wParam) {
  return static_cast<int32_t>(static_cast<int16_t>(static_cast<uint16_t>(wParam & 0xFFFFu)));
}

void FormatCode(int32_t code, wchar_t out[kCapacity]) {
  static const wchar_t kDigits[] = L"0123456789abcdef";
  uint32_t v = static_cast<uint32_t>(code);
  wchar_t digits[8];
  int n = 0;
  do {
    digits[n++] = kDigits[v & 0xFu];
    v >>= 4;
  } while (v != 0);
  while (n < 3) digits[n++] = L'0';
  size_t k = 0;
  out[k++] = L'0';
  out[k++] = L'x';
  while (n > 0) out[k++] = digits[--n];
  out[k] = L'\0';
}

const wchar_t* DefaultCaption(int slot) {
  switch (slot) {
    case 1: return L"Button1";
    case 2: return L"Button2";
    case 3: return L"Ignore1";
    case 4: return L"Ignore2";
    default: return L"";
  }
}

void Caption(int slot, int32_t code, wchar_t out[kCapacity]) {
  if (code != 0) {
    FormatCode(code, out);
    return;
  }
  const wchar_t* name = DefaultCaption(slot);
  size_t i = 0;
  for (; name[i] != L'\0' && i + 1 < kCapacity; ++i) out[i] = name[i];
  out[i] = L'\0';
}

}  // namespace keycaption
