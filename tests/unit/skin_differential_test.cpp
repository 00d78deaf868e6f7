// The skin scan against the C library's own wide scan, run with the file's
// exact format (words as %*ls), on generated and mutated files. Pinned to
// what both sides define alike: the "C" locale, ASCII white space, and
// numbers within the int range (beyond it the C library's result is its own).
#include <clocale>
#include <cstdint>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lockscreen/core/skin_scan.h"
#include "tests/unit/skin_test_util.h"

namespace {

const wchar_t kFormat[] =
    L" %*ls %*ls %d, %d, %d %*ls %d, %d, %d %*ls %d, %d, %d %*ls %d, %d, %d %*ls %d, %d, %d %*ls %d, %d, %d"
    L" %*ls %d, %d, %d %*ls %d, %d, %d %*ls %d, %d, %d %*ls %*ls %d %*ls %d %*ls %d %*ls %d %*ls %d";

constexpr int32_t kUntouched = 0x5A5A5A5A;

// Returns how many numbers the C library stored, and the numbers.
int LibraryScan(const std::u16string& text, int32_t n[skin::kNumberCount]) {
  std::wstring w;
  for (char16_t c : text) {
    if (c == 0) break;
    w.push_back(static_cast<wchar_t>(c));
  }
  const int r = swscanf(w.c_str(), kFormat, &n[0], &n[1], &n[2], &n[3], &n[4], &n[5], &n[6], &n[7], &n[8], &n[9],
                        &n[10], &n[11], &n[12], &n[13], &n[14], &n[15], &n[16], &n[17], &n[18], &n[19], &n[20], &n[21],
                        &n[22], &n[23], &n[24], &n[25], &n[26], &n[27], &n[28], &n[29], &n[30], &n[31]);
  return r < 0 ? 0 : r;
}

// Whether every run of digits stays within the int range (so both sides
// must agree on it).
bool NumbersWithinIntRange(const std::u16string& text) {
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] < u'0' || text[i] > u'9') {
      ++i;
      continue;
    }
    int64_t v = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
      v = v * 10 + (text[i] - u'0');
      if (v > INT32_MAX) return false;
      ++i;
    }
  }
  return true;
}

// The units a file is made of: ASCII white space, separators, digits,
// signs, letters, brackets, a byte-order mark and one accented letter.
const char16_t kAlphabet[] = u" \t\n\r\v\f,,,,0123456789+-abcXYZ[]\xFEFF\x00E9";

std::u16string RandomNumber(std::mt19937& rng) {
  static const char* const special[] = {"0",   "-0",  "+0", "2147483647", "-2147483647", "007",
                                        "255", "256", "-1", "300",        "+5"};
  std::uniform_int_distribution<int> pick(0, 9);
  if (pick(rng) < 3) return skintest::U16(special[rng() % (sizeof special / sizeof *special)]);
  std::string s;
  if (pick(rng) == 0) s += '-';
  s += std::to_string(rng() % 100000);
  return skintest::U16(s);
}

std::u16string RandomWord(std::mt19937& rng) {
  std::uniform_int_distribution<int> len(1, 24);  // beyond 15 as well
  std::u16string w;
  const int n = len(rng);
  for (int i = 0; i < n; ++i) w.push_back(static_cast<char16_t>(u'a' + rng() % 26));
  if (rng() % 8 == 0) w = u"[" + w + u"]";
  if (rng() % 16 == 0) w.insert(w.begin(), u'\xFEFF');
  return w;
}

std::u16string RandomSpace(std::mt19937& rng) {
  static const char16_t* const spaces[] = {u" ", u"  ", u"\t", u"\r\n", u"\n", u" \r\n ", u"\v\f"};
  return spaces[rng() % 7];
}

// A file in the format's shape, with varied spacing.
std::u16string GeneratedFile(std::mt19937& rng) {
  std::u16string f;
  auto word = [&] { f += RandomWord(rng) + RandomSpace(rng); };
  auto number = [&] { f += RandomNumber(rng); };
  auto comma = [&] {
    f += u',';
    if (rng() % 3) f += RandomSpace(rng);
  };
  word();
  word();
  for (int c = 0; c < skin::kColourCount; ++c) {
    if (c > 0) word();
    number();
    comma();
    number();
    comma();
    number();
    f += RandomSpace(rng);
  }
  word();
  word();
  for (int k = 0; k < skin::kSizeCount; ++k) {
    if (k > 0) word();
    number();
    f += RandomSpace(rng);
  }
  return f;
}

void Mutate(std::u16string& f, std::mt19937& rng) {
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int e = 0; e < edits && !f.empty(); ++e) {
    const size_t at = rng() % f.size();
    const char16_t unit = kAlphabet[rng() % (sizeof kAlphabet / sizeof *kAlphabet - 1)];
    switch (rng() % 4) {
      case 0: f.erase(at, 1); break;
      case 1: f.insert(f.begin() + static_cast<std::ptrdiff_t>(at), unit); break;
      case 2: f[at] = unit; break;
      case 3: f.resize(at); break;  // cut short
    }
  }
}

void Compare(const std::u16string& f) {
  int32_t mine[skin::kNumberCount], theirs[skin::kNumberCount];
  for (int i = 0; i < skin::kNumberCount; ++i) mine[i] = theirs[i] = kUntouched;
  const std::vector<uint8_t> bytes = skintest::Utf16le(f);
  const int reached = skin::NumbersReached(skin::ScanNumbers(bytes.data(), bytes.size(), mine));
  const int stored = LibraryScan(f, theirs);
  ASSERT_EQ(reached, stored) << std::string(f.begin(), f.end());
  for (int i = 0; i < skin::kNumberCount; ++i) ASSERT_EQ(mine[i], theirs[i]) << i;
}

TEST(SkinScanDifferential, MatchesTheCLibraryOnGeneratedAndMutatedFiles) {
  ASSERT_NE(setlocale(LC_ALL, "C"), nullptr);
  std::mt19937 rng(20261207);
  int compared = 0;
  for (int i = 0; i < 6000; ++i) {
    std::u16string f = GeneratedFile(rng);
    if (i % 3 != 0) Mutate(f, rng);
    if (!NumbersWithinIntRange(f)) continue;
    ASSERT_NO_FATAL_FAILURE(Compare(f)) << "case " << i;
    ++compared;
  }
  EXPECT_GT(compared, 5000);
}

TEST(SkinScanDifferential, MatchesTheCLibraryOnRandomUnits) {
  ASSERT_NE(setlocale(LC_ALL, "C"), nullptr);
  std::mt19937 rng(7);
  for (int i = 0; i < 3000; ++i) {
    std::u16string f;
    const size_t n = rng() % 120;
    for (size_t k = 0; k < n; ++k) f.push_back(kAlphabet[rng() % (sizeof kAlphabet / sizeof *kAlphabet - 1)]);
    if (!NumbersWithinIntRange(f)) continue;
    ASSERT_NO_FATAL_FAILURE(Compare(f)) << "case " << i;
  }
}

TEST(SkinScanDifferential, MatchesTheCLibraryOnTheUsualFile) {
  ASSERT_NE(setlocale(LC_ALL, "C"), nullptr);
  Compare(skintest::U16(skintest::GoodFile()));
  Compare(u"\xFEFF" + skintest::U16(skintest::GoodFile()));
}

}  // namespace
