#include "shared/core/paths.h"

#include <cwchar>

namespace paths {

bool Compose(wchar_t* out, size_t capacity, const wchar_t* folder, const wchar_t* tail) {
  if (capacity == 0) return false;
  out[0] = L'\0';
  if (folder == nullptr || tail == nullptr) return false;
  size_t a = wcslen(folder);
  size_t b = wcslen(tail);
  if (a + b + 1 > capacity) return false;
  wmemcpy(out, folder, a);
  wmemcpy(out + a, tail, b);
  out[a + b] = L'\0';
  return true;
}

}  // namespace paths

namespace owner {

int StoredNameLength(const uint8_t* bytes, size_t size) {
  size_t units = size / 2;
  if (units > kMaxUnits) units = kMaxUnits;
  for (size_t i = 0; i < units; ++i) {
    if (bytes[2 * i] == 0 && bytes[2 * i + 1] == 0) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace owner
