// The device tool's words: the power broadcast each names and its number
// rules, and the game-input routing table.
#include <gtest/gtest.h>

#include "platform/core/device_words.h"
#include "platform/core/game_keys.h"

using namespace devicewords;

TEST(DeviceWords, PowerWordsMapToTheirRecords) {
  const struct {
    const wchar_t* word;
    uint32_t message, flags;
  } cases[] = {
      {L"on", 1, 0x00010000},      {L"off", 1, 0x00020000},   {L"critical", 1, 0x00040000}, {L"idle", 1, 0x00100000},
      {L"suspend", 1, 0x00200000}, {L"reset", 1, 0x00800000}, {L"transition", 1, 0},        {L"resume", 2, 0}};
  for (const auto& c : cases) {
    PowerWord w{};
    ASSERT_TRUE(PowerByWord(c.word, &w));
    EXPECT_EQ(c.message, w.message);
    EXPECT_EQ(c.flags, w.flags);
  }
  PowerWord w{};
  EXPECT_FALSE(PowerByWord(L"On", &w));
  EXPECT_FALSE(PowerByWord(L"", &w));
  EXPECT_FALSE(PowerByWord(nullptr, &w));
}

TEST(DeviceWords, HexNumbers) {
  uint32_t v = 7;
  EXPECT_TRUE(ParseHex32(L"0x00200000", &v));
  EXPECT_EQ(0x00200000u, v);
  EXPECT_TRUE(ParseHex32(L"FFFFFFFF", &v));
  EXPECT_EQ(0xFFFFFFFFu, v);
  EXPECT_TRUE(ParseHex32(L"a4", &v));
  EXPECT_EQ(0xA4u, v);
  v = 7;
  for (const wchar_t* bad : {L"", L"0x", L"123456789", L"0x1g", L"-1", L" 1"}) {
    EXPECT_FALSE(ParseHex32(bad, &v));
    EXPECT_EQ(7u, v);
  }
}

TEST(DeviceWords, DecimalNumbers) {
  uint32_t v = 7;
  EXPECT_TRUE(ParseDecimal(L"100", 100, &v));
  EXPECT_EQ(100u, v);
  EXPECT_FALSE(ParseDecimal(L"101", 100, &v));
  EXPECT_TRUE(ParseDecimal(L"4294967295", 0xFFFFFFFFu, &v));
  EXPECT_EQ(0xFFFFFFFFu, v);
  EXPECT_FALSE(ParseDecimal(L"4294967296", 0xFFFFFFFFu, &v));
  EXPECT_FALSE(ParseDecimal(L"99999999999999999999999", 0xFFFFFFFFu, &v));
  EXPECT_FALSE(ParseDecimal(L"", 10, &v));
  EXPECT_FALSE(ParseDecimal(L"1x", 10, &v));
  EXPECT_FALSE(ParseDecimal(nullptr, 10, &v));
}

TEST(GameKeys, RoutingTable) {
  using gamekeys::Situation;
  const int X = gamekeys::kExclusive, F = gamekeys::kForegroundOnly;
  const struct {
    Situation s;
    bool routed;
  } cases[] = {
      // mode, open, target, pass, foreground, focus
      {{X, true, true, false, false, false}, true},   // exclusive: even when in the back
      {{X, false, true, false, true, true}, false},   // closed
      {{X, true, false, false, true, true}, false},   // no target: keys flow
      {{X, true, true, true, true, true}, false},     // pass-through marker
      {{F, true, true, false, true, true}, true},     // in front, focused
      {{F, true, true, false, true, false}, false},   // an edit field has focus
      {{F, true, true, false, false, false}, false},  // another program in front
      {{F, false, true, false, true, true}, false},  {{F, true, true, true, true, true}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.routed, gamekeys::Route(c.s));
}

TEST(GameKeys, KeyMessageParameter) {
  EXPECT_EQ(0x00380001u, gamekeys::KeyLParam(0x38, false, false, false));  // first down
  EXPECT_EQ(0x40380001u, gamekeys::KeyLParam(0x38, false, false, true));   // repeat
  EXPECT_EQ(0xC0380001u, gamekeys::KeyLParam(0x38, false, true, true));    // up
  EXPECT_EQ(0xC1380001u, gamekeys::KeyLParam(0x138, true, true, false));   // extended, scan cut to 8 bits
}

TEST(GameKeys, ModifiersTakeTheirSideSpecificCodes) {
  const struct {
    uint32_t vk, scan;
    bool extended;
    uint32_t want;
  } cases[] = {{0x12, 0x38, false, 0xA4}, {0x12, 0x38, true, 0xA5},  {0x11, 0x1D, false, 0xA2},
               {0x11, 0x1D, true, 0xA3},  {0x10, 0x2A, false, 0xA0}, {0x10, 0x36, false, 0xA1},
               {0xA4, 0x38, false, 0xA4}, {0x41, 0x1E, false, 0x41}, {0x72, 0x3D, false, 0x72}};
  for (const auto& c : cases) EXPECT_EQ(c.want, gamekeys::SideSpecificVk(c.vk, c.scan, c.extended)) << c.vk;
}
