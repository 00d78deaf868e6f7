// The skin file's scan: groups of spellings that must mean the same, and
// half-broken files that must still give a sound result.
#include "lockscreen/core/skin_scan.h"

#include <gtest/gtest.h>

#include "tests/unit/skin_test_util.h"

namespace {

using skin::SkinSettings;
using skintest::GoodFile;
using skintest::U16;
using skintest::Utf16le;

SkinSettings Parse(const std::u16string& text) {
  SkinSettings s;
  const std::vector<uint8_t> b = Utf16le(text);
  skin::ParseSkinText(b.data(), b.size(), s);
  return s;
}
SkinSettings Parse(const std::string& ascii) { return Parse(U16(ascii)); }

void ExpectSame(const SkinSettings& a, const SkinSettings& b) {
  EXPECT_EQ(a.loaded, b.loaded);
  for (int c = 0; c < skin::kColourCount; ++c) {
    EXPECT_EQ(a.colourSet[c], b.colourSet[c]) << "colour " << c;
    if (a.colourSet[c] && b.colourSet[c]) {
      EXPECT_EQ(a.colour[c], b.colour[c]) << "colour " << c;
    }
  }
  for (int k = 0; k < skin::kSizeCount; ++k) EXPECT_EQ(a.size[k], b.size[k]) << "size " << k;
}

int Conversions(const std::string& ascii) {
  const std::vector<uint8_t> b = Utf16le(U16(ascii));
  int32_t numbers[skin::kNumberCount] = {};
  return skin::ScanNumbers(b.data(), b.size(), numbers);
}

TEST(SkinScan, WholeFileFillsEverything) {
  const SkinSettings s = Parse(GoodFile());
  EXPECT_EQ(s.loaded, 1);
  for (int c = 0; c < skin::kColourCount; ++c) {
    ASSERT_TRUE(s.colourSet[c]);
    EXPECT_EQ(s.colour[c], skin::ColourFromComponents(10 * c + 1, 10 * c + 2, 10 * c + 3));
  }
  EXPECT_EQ(s.size[skin::kOwnerFontSize], 12);
  EXPECT_EQ(s.size[skin::kDateFontSize], 13);
  EXPECT_EQ(s.size[skin::kTimeFontSize], 30);
  EXPECT_EQ(s.size[skin::kAppointmentFontSize], 8);
  EXPECT_EQ(s.size[skin::kMessageFontSize], 14);
  EXPECT_EQ(Conversions(GoodFile()), skin::kConversionCount);
}

TEST(SkinScan, ComponentsTakeTheirLowEightBits) {
  struct Case {
    int32_t r, g, b;
    uint32_t colour;
  } cases[] = {
      {200, 100, 10, 0x0A64C8u},
      {256, 0, 0, 0x000000u},
      {-1, 0, 0, 0x0000FFu},
      {300, 0, 0, 0x00002Cu},
      {0, -1, 300, 0x2CFF00u},
      {255, 255, 255, 0xFFFFFFu},
      {INT32_MAX, INT32_MIN, 0, 0x0000FFu},
  };
  for (const Case& c : cases) EXPECT_EQ(skin::ColourFromComponents(c.r, c.g, c.b), c.colour) << c.r;
  const SkinSettings s = Parse("a b 200, 100, 10 c 256, -1, 300");
  EXPECT_EQ(s.colour[skin::kOwnerColor], 0x0A64C8u);
  EXPECT_EQ(s.colour[skin::kDateColor], 0x2CFF00u);
}

// Each group holds spellings of the same file.
TEST(SkinScan, EquivalentSpellings) {
  const std::vector<std::vector<std::u16string>> groups = {
      {U16(GoodFile()),
       // one line, single spaces, no space after the commas
       U16("[Colours] Owner 1,2,3 Date 11,12,13 Info 21,22,23 Alert 31,32,33 Clock 41,42,43 "
           "Minute 51,52,53 Second 61,62,63 Face 71,72,73 Appointment 81,82,83 [Fonts] Owner 12 Date 13 "
           "Time 30 Appointment 8 Message 14"),
       // other words, a single letter or a long heading, tabs and line breaks after commas
       U16("x y 1,\t2,\n3 a 11, 12, 13 b 21, 22, 23 c 31, 32, 33 d 41, 42, 43 e 51, 52, 53 f 61, 62, 63 "
           "g 71, 72, 73 h 81, 82, 83 [AVeryLongHeadingOfMoreThanFifteenCharacters] i 12 j 13 k 30 l 8 m 14"),
       // a byte-order mark joined to the first word
       u"\xFEFF" + U16(GoodFile()),
       // signs and leading zeros
       U16("a b +1, 02, 003 c 11, 12, 13 d 21, 22, 23 e 31, 32, 33 f 41, 42, 43 g 51, 52, 53 h 61, 62, 63 "
           "i 71, 72, 73 j 81, 82, 83 k l +12 m 013 n 30 o 8 p 14"),
       // a number joined to the next word, and text after the last number
       U16("a b 1, 2, 3c 11, 12, 13d 21, 22, 23 e 31, 32, 33 f 41, 42, 43 g 51, 52, 53 h 61, 62, 63 "
           "i 71, 72, 73 j 81, 82, 83 k l 12 m 13 n 30 o 8 p 14 trailing words 1, 2"),
       // anything after the first NUL unit is not text
       U16(GoodFile()) + u'\0' + U16("junk 9, 9, 9")},
      {U16("a b 1, 2, 3"), U16("a b 1,2,3"), U16("a\tb\r\n1,\r\n2,\r\n3\r\n"), U16("a b 1, 2, 3 ,"),
       U16("a b 1, 2, 3 c d e f g")},
  };
  for (size_t g = 0; g < groups.size(); ++g) {
    const SkinSettings first = Parse(groups[g][0]);
    for (size_t i = 1; i < groups[g].size(); ++i) {
      SCOPED_TRACE(testing::Message() << "group " << g << " spelling " << i);
      ExpectSame(first, Parse(groups[g][i]));
    }
  }
}

// Half-broken files: the scan stops at the first mismatch and keeps all
// before it; a colour not reached in full stays unset (built-in).
TEST(SkinScan, HalfBrokenFiles) {
  struct Case {
    const char* text;
    int conversions;
    int coloursSet;  // the first n colours are set
    int sizesSet;    // the first n sizes are taken from the file
  } cases[] = {
      {"", 0, 0, 0},
      {"   \r\n\t ", 0, 0, 0},
      {"onlyoneword", 1, 0, 0},
      {"a b", 2, 0, 0},
      {"a b 200 , 100, 10", 3, 0, 0},  // a space before a comma ends the scan
      {"a b 200, 100 , 10", 4, 0, 0},
      {"a b 200, 100, 10", 5, 1, 0},
      {"a b 200; 100; 10", 3, 0, 0},  // wrong separator
      {"a b 200, 100, x", 4, 0, 0},   // a word where a number belongs
      {"a b 200, 100, 10 c", 6, 1, 0},
      {"a b 200, 100, 10 c 1, 2", 8, 1, 0},            // a triple cut short keeps its built-in colour
      {"a b 200, 100, 10 c1,2,3 d 4, 5, 6", 6, 1, 0},  // a word joined to numbers takes them in
      {"a b 200, 100, 10 - 1, 2, 3", 9, 2, 0},         // "-" is a word here
      {"a b 200, 100, 10 c -, 2, 3", 6, 1, 0},         // a sign without digits
      {"a b 0x10, 2, 3", 3, 0, 0},                     // "0" then "x" where the comma belongs
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Conversions(c.text), c.conversions);
    const SkinSettings s = Parse(c.text);
    EXPECT_EQ(s.loaded, 1);
    for (int k = 0; k < skin::kColourCount; ++k) EXPECT_EQ(s.colourSet[k], k < c.coloursSet) << k;
    const SkinSettings fresh;
    for (int k = 0; k < skin::kSizeCount; ++k) {
      if (k >= c.sizesSet) {
        EXPECT_EQ(s.size[k], fresh.size[k]);
      }
    }
  }
  EXPECT_EQ(Parse("a b 200, 100, 10 c -, 2, 3").colour[skin::kOwnerColor], 0x0A64C8u);
  EXPECT_EQ(Parse("a b 200, 100, 10 - 1, 2, 3").colour[skin::kDateColor], 0x030201u);
}

TEST(SkinScan, ColoursOnlyKeepsDefaultSizes) {
  std::string colours = GoodFile();
  colours = colours.substr(0, colours.find("[Fonts]"));
  const SkinSettings s = Parse(colours);
  EXPECT_EQ(s.loaded, 1);
  for (int c = 0; c < skin::kColourCount; ++c) EXPECT_TRUE(s.colourSet[c]);
  const int32_t sizes[] = {11, 11, 25, 9, 11};
  for (int k = 0; k < skin::kSizeCount; ++k) EXPECT_EQ(s.size[k], sizes[k]);
  // A size line cut after the first size takes only that one.
  const SkinSettings t = Parse(colours + "[Fonts] Owner 20 Date");
  EXPECT_EQ(t.size[skin::kOwnerFontSize], 20);
  EXPECT_EQ(t.size[skin::kDateFontSize], 11);
}

TEST(SkinScan, EmptyFileIsLoadedWithNothingSet) {
  SkinSettings s;
  skin::ParseSkinText(nullptr, 0, s);
  EXPECT_EQ(s.loaded, 1);
  for (int c = 0; c < skin::kColourCount; ++c) EXPECT_FALSE(s.colourSet[c]);
  EXPECT_EQ(s.size[skin::kTimeFontSize], 25);
}

TEST(SkinScan, OddTrailingByteIsDropped) {
  std::vector<uint8_t> b = Utf16le(U16("a b 200, 100, 17"));
  // Cutting the last unit in half leaves "1" of "17".
  b.pop_back();
  SkinSettings s;
  skin::ParseSkinText(b.data(), b.size(), s);
  EXPECT_EQ(s.colour[skin::kOwnerColor], skin::ColourFromComponents(200, 100, 1));
}

TEST(SkinScan, OnlyTheFirst4096BytesCount) {
  // The sizes start beyond byte 4096: the colours are read, the sizes not.
  std::string colours = GoodFile();
  colours = colours.substr(0, colours.find("[Fonts]"));
  const std::string file =
      colours + std::string(2100, ' ') + "[Fonts] Owner 12 Date 13 Time 30 Appointment 8 Message 14";
  ASSERT_GT(file.size() * 2, skin::kMaxFileBytes);
  ASSERT_LT(colours.size() * 2, skin::kMaxFileBytes);
  const SkinSettings s = Parse(file);
  EXPECT_TRUE(s.colourSet[skin::kAppointmentColor]);
  EXPECT_EQ(s.size[skin::kOwnerFontSize], 11);
  // A number cut by the bound keeps the digits before it.
  const std::string cut = std::string(2047, ' ') + "12345";
  std::vector<uint8_t> b = Utf16le(U16(cut));
  int32_t numbers[skin::kNumberCount] = {};
  EXPECT_EQ(skin::ScanNumbers(b.data(), skin::kMaxFileBytes, numbers), 1);  // the word "1"
}

TEST(SkinScan, NumbersBeyond32BitsSaturate) {
  const SkinSettings s = Parse(GoodFile().substr(0, GoodFile().find("[Fonts]")) +
                               "f s 2147483648 t -2147483649 u 99999999999999999999999 v -0 w 2147483647");
  EXPECT_EQ(s.size[skin::kOwnerFontSize], INT32_MAX);
  EXPECT_EQ(s.size[skin::kDateFontSize], INT32_MIN);
  EXPECT_EQ(s.size[skin::kTimeFontSize], INT32_MAX);
  EXPECT_EQ(s.size[skin::kAppointmentFontSize], 0);
  EXPECT_EQ(s.size[skin::kMessageFontSize], INT32_MAX);
  EXPECT_EQ(Parse("a b 4294967296, -4294967297, 1").colour[skin::kOwnerColor],
            skin::ColourFromComponents(INT32_MAX, INT32_MIN, 1));
}

TEST(SkinScan, WideCharactersAreWordCharacters) {
  // A file saved in an 8-bit encoding reads as one long run of non-white
  // units: one word, nothing else matched.
  std::string ascii = "a b 200, 100, 10";
  std::vector<uint8_t> eightBit(ascii.begin(), ascii.end());
  int32_t numbers[skin::kNumberCount] = {};
  EXPECT_EQ(skin::ScanNumbers(eightBit.data(), eightBit.size(), numbers), 1);
  // Non-ASCII white space (a no-break space) does not separate words:
  // "a b" is one word, "1," the second, then 2 and 3.
  const std::vector<uint8_t> nbsp = Utf16le(u"a\u00A0b 1, 2, 3");
  EXPECT_EQ(skin::ScanNumbers(nbsp.data(), nbsp.size(), numbers), 4);
}

TEST(SkinScan, NumbersReachedFollowsTheFormat) {
  const int expected[][2] = {{0, 0},   {2, 0},   {3, 1},   {5, 3},   {6, 3},  {7, 4},
                             {37, 27}, {38, 27}, {39, 27}, {40, 28}, {48, 32}};
  for (const auto& e : expected) EXPECT_EQ(skin::NumbersReached(e[0]), e[1]) << e[0];
}

}  // namespace
