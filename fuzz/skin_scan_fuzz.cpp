// libFuzzer target for the skin file's scan: any bytes, any length. The
// scan must stay inside the bytes it was given (AddressSanitizer sees
// every read past them), never overflow (UndefinedBehaviorSanitizer), and
// keep its promises: at most 48 conversions, the flag always set, sizes
// beyond the last number reached left as they were, and the same result
// for the bytes cut at 4096 as for the whole input.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lockscreen/core/skin_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A private copy of exactly `size` bytes, so a read past the end is caught.
  std::vector<uint8_t> bytes(data, data + size);
  const uint8_t* p = bytes.empty() ? nullptr : bytes.data();

  int32_t numbers[skin::kNumberCount];
  for (int32_t& n : numbers) n = 0x5A5A5A5A;
  const int conversions = skin::ScanNumbers(p, bytes.size(), numbers);
  if (conversions < 0 || conversions > skin::kConversionCount) abort();
  const int reached = skin::NumbersReached(conversions);
  for (int i = reached; i < skin::kNumberCount; ++i) {
    if (numbers[i] != 0x5A5A5A5A) abort();
  }

  skin::SkinSettings s;
  skin::ParseSkinText(p, bytes.size(), s);
  if (s.loaded != 1) abort();
  const skin::SkinSettings fresh;
  for (int k = 0; k < skin::kSizeCount; ++k) {
    if (reached < 3 * skin::kColourCount + k + 1 && size <= skin::kMaxFileBytes && s.size[k] != fresh.size[k]) abort();
  }
  for (int c = 0; c < skin::kColourCount; ++c) {
    if (s.colourSet[c] && (s.colour[c] >> 24) != 0) abort();
  }

  if (size > skin::kMaxFileBytes) {
    skin::SkinSettings cut;
    skin::ParseSkinText(p, skin::kMaxFileBytes, cut);
    if (memcmp(cut.size, s.size, sizeof s.size) != 0 || memcmp(cut.colourSet, s.colourSet, sizeof s.colourSet) != 0)
      abort();
  }
  return 0;
}
