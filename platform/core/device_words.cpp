// Words of the device tool; see device_words.h. The flag values are the
// power manager's POWER_STATE_ and PBT_ constants (platform/power.h).
#include "platform/core/device_words.h"

#include <cwchar>

namespace devicewords {

static const PowerWord kWords[] = {
    {L"on", 0x1, 0x00010000},   {L"off", 0x1, 0x00020000},     {L"critical", 0x1, 0x00040000},
    {L"idle", 0x1, 0x00100000}, {L"suspend", 0x1, 0x00200000}, {L"reset", 0x1, 0x00800000},
    {L"transition", 0x1, 0x0},  {L"resume", 0x2, 0x0},
};

bool PowerByWord(const wchar_t* word, PowerWord* out) {
  if (word == nullptr) return false;
  for (const PowerWord& w : kWords) {
    if (std::wcscmp(w.word, word) == 0) {
      *out = w;
      return true;
    }
  }
  return false;
}

bool ParseHex32(const wchar_t* text, uint32_t* out) {
  if (text == nullptr) return false;
  if (text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) text += 2;
  uint32_t v = 0;
  int n = 0;
  for (; text[n] != 0; ++n) {
    wchar_t c = text[n];
    uint32_t d;
    if (c >= L'0' && c <= L'9') d = static_cast<uint32_t>(c - L'0');
    else if (c >= L'a' && c <= L'f') d = static_cast<uint32_t>(c - L'a' + 10);
    else if (c >= L'A' && c <= L'F') d = static_cast<uint32_t>(c - L'A' + 10);
    else return false;
    if (n >= 8) return false;
    v = (v << 4) | d;
  }
  if (n == 0) return false;
  *out = v;
  return true;
}

bool ParseDecimal(const wchar_t* text, uint32_t max, uint32_t* out) {
  if (text == nullptr || text[0] == 0) return false;
  uint64_t v = 0;
  for (const wchar_t* p = text; *p != 0; ++p) {
    if (*p < L'0' || *p > L'9') return false;
    v = v * 10 + static_cast<uint64_t>(*p - L'0');
    if (v > max) return false;
  }
  *out = static_cast<uint32_t>(v);
  return true;
}

}  // namespace devicewords
