// The number fields' conversion on "Ok".
#include "config/core/number_field.h"

#include <gtest/gtest.h>

namespace {

TEST(ConfigNumberField, Conversion) {
  struct Case {
    const wchar_t* text;
    int32_t value;
  } cases[] = {
      {L"8", 8},
      {L"120", 120},
      {L"500", 500},  // no range check
      {L"-3", -3},
      {L"+7", 7},
      {L"  42", 42},  // leading white space
      {L"\t\r\n 9", 9},
      {L"12abc", 12},  // digits up to the first non-digit
      {L"abc", 0},     // letters only
      {L"", 0},
      {L"-", 0},
      {L"+-5", 0},  // one sign only
      {L"--5", 0},
      {L"- 5", 0},             // no space after the sign
      {L"12345678", 1234567},  // seven characters at most
      {L"9999999", 9999999},
      {L"-9999999", -999999},  // the sign is one of the seven
      {L"      77", 7},        // white space counts toward the seven
      {L"       5", 0},
      {L"007", 7},
      {L"3 4", 3},
  };
  for (const Case& c : cases) EXPECT_EQ(numberfield::Parse(c.text), c.value) << "\"" << c.text << "\"";
  EXPECT_EQ(numberfield::Parse(nullptr), 0);
}

}  // namespace
