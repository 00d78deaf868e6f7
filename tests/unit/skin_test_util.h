// Helpers shared by the skin-file tests: UTF-16LE bytes from text, and a
// well-formed file with chosen numbers.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace skintest {

inline std::vector<uint8_t> Utf16le(const std::u16string& s) {
  std::vector<uint8_t> b;
  for (char16_t c : s) {
    b.push_back(static_cast<uint8_t>(c & 0xFF));
    b.push_back(static_cast<uint8_t>(c >> 8));
  }
  return b;
}

inline std::u16string U16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// A whole file in the usual shape, with colour i = (10i+1, 10i+2, 10i+3)
// and sizes 12, 13, 30, 8, 14.
inline std::string GoodFile() {
  return "[Colours]\r\n"
         "Owner 1, 2, 3\r\nDate 11, 12, 13\r\nInfo 21, 22, 23\r\nAlert 31, 32, 33\r\n"
         "Clock 41, 42, 43\r\nMinute 51, 52, 53\r\nSecond 61, 62, 63\r\nFace 71, 72, 73\r\n"
         "Appointment 81, 82, 83\r\n"
         "[Fonts] Owner 12\r\nDate 13\r\nTime 30\r\nAppointment 8\r\nMessage 14\r\n";
}

}  // namespace skintest
