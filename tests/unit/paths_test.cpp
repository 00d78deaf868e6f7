#include "shared/core/paths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ComposePath, BoundIs127UnitsPlusTerminator) {
  wchar_t out[paths::kCapacity];
  const std::wstring tail = L"\\OV Hushpane.lnk";
  // 127 units fit; 128 are refused and leave an empty path, not a cut one.
  std::wstring folder127(127 - tail.size(), L'a');
  ASSERT_TRUE(paths::Compose(out, paths::kCapacity, folder127.c_str(), tail.c_str()));
  EXPECT_EQ(std::wstring(out), folder127 + tail);
  EXPECT_EQ(std::wstring(out).size(), 127u);

  std::wstring folder128(128 - tail.size(), L'a');
  EXPECT_FALSE(paths::Compose(out, paths::kCapacity, folder128.c_str(), tail.c_str()));
  EXPECT_EQ(out[0], L'\0');

  std::wstring huge(4000, L'x');
  EXPECT_FALSE(paths::Compose(out, paths::kCapacity, huge.c_str(), tail.c_str()));
}

TEST(ComposePath, Tails) {
  wchar_t out[paths::kCapacity];
  ASSERT_TRUE(paths::Compose(out, paths::kCapacity, L"C:\\Program Files", paths::kLockScreenTail));
  EXPECT_EQ(std::wstring(out), L"C:\\Program Files\\Ombrevale\\Hushpane\\Corvane.exe");
}

TEST(OwnerName, TerminatorMustLieWithin64Units) {
  auto bytesOf = [](const std::u16string& s) {
    std::string b;
    for (char16_t c : s) {
      b.push_back(static_cast<char>(c & 0xFF));
      b.push_back(static_cast<char>(c >> 8));
    }
    return b;
  };
  std::string ok = bytesOf(u"Ann Owner") + std::string(2, '\0');
  EXPECT_EQ(owner::StoredNameLength(reinterpret_cast<const uint8_t*>(ok.data()), ok.size()), 9);

  std::string full = bytesOf(std::u16string(63, u'n')) + std::string(2, '\0');  // 64 units
  EXPECT_EQ(owner::StoredNameLength(reinterpret_cast<const uint8_t*>(full.data()), full.size()), 63);

  std::string tooLong = bytesOf(std::u16string(64, u'n')) + std::string(2, '\0');  // 65 units
  EXPECT_EQ(owner::StoredNameLength(reinterpret_cast<const uint8_t*>(tooLong.data()), tooLong.size()), -1);

  std::string unterminated = bytesOf(u"Bob");
  EXPECT_EQ(owner::StoredNameLength(reinterpret_cast<const uint8_t*>(unterminated.data()), unterminated.size()), -1);
}

}  // namespace
