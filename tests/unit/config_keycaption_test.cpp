// Key codes from key messages and the captions of the capture buttons.
#include "config/core/key_caption.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ConfigKeyCaption, CodeIsTheSignExtendedLow16Bits) {
  struct Case {
    uint64_t wParam;
    int32_t code;
  } cases[] = {
      {0x00C1, 193},  {0xF060, -4000},      {0x0000, 0},
      {0xFFFF, -1},   {0x7FFF, 32767},      {0x8000, -32768},
      {0x1234, 4660}, {0xABCD00C1ull, 193}, {0xFFFFFFFFFFFF0041ull, 0x41},
  };
  for (const Case& c : cases) EXPECT_EQ(keycaption::KeyCodeFromWParam(c.wParam), c.code) << c.wParam;
}

TEST(ConfigKeyCaption, FormatsAsZeroPaddedLowerHex) {
  struct Case {
    int32_t code;
    const wchar_t* text;
  } cases[] = {
      {193, L"0x0c1"},  {27, L"0x01b"},    {4660, L"0x1234"},   {-4000, L"0xfffff060"},     {1, L"0x001"},
      {0xA4, L"0x0a4"}, {0xFFF, L"0xfff"}, {-1, L"0xffffffff"}, {INT32_MIN, L"0x80000000"}, {0x12345678, L"0x12345678"},
  };
  for (const Case& c : cases) {
    wchar_t out[keycaption::kCapacity];
    keycaption::FormatCode(c.code, out);
    EXPECT_EQ(std::wstring(out), std::wstring(c.text)) << c.code;
  }
}

TEST(ConfigKeyCaption, DefaultNamesWhileTheCodeIsZero) {
  const wchar_t* names[] = {L"Button1", L"Button2", L"Ignore1", L"Ignore2"};
  for (int slot = 1; slot <= 4; ++slot) {
    wchar_t out[keycaption::kCapacity];
    keycaption::Caption(slot, 0, out);
    EXPECT_EQ(std::wstring(out), names[slot - 1]);
    keycaption::Caption(slot, 0x74, out);
    EXPECT_EQ(std::wstring(out), L"0x074");
  }
}

}  // namespace
