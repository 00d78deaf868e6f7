#include <gtest/gtest.h>

#include "service/core/pass_rules.h"

namespace {

using service::DecidePassStart;

TEST(ServicePassStart, Table) {
  struct Row {
    bool autoRun, atStartup, firstPass, installed;
    service::PassStart expected;
  };
  const Row rows[] = {
      // AutoRun off locks once and ends, whatever else holds.
      {false, false, false, false, service::kLockAndEnd},
      {false, true, true, false, service::kLockAndEnd},
      {false, true, true, true, service::kLockAndEnd},
      {false, false, true, true, service::kLockAndEnd},
      // The start-up lock: first pass only, and never for an installed start.
      {true, true, true, false, service::kLockNow},
      {true, true, true, true, service::kWaitLoop},
      {true, true, false, false, service::kWaitLoop},
      {true, false, true, false, service::kWaitLoop},
      {true, false, false, false, service::kWaitLoop},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(DecidePassStart(r.autoRun, r.atStartup, r.firstPass, r.installed), r.expected)
        << r.autoRun << r.atStartup << r.firstPass << r.installed;
  }
}

TEST(ServiceInstalled, LooksInTheArgumentsOnly) {
  struct Row {
    const wchar_t* line;
    bool installed;
  };
  const Row rows[] = {
      {L"\"C:\\Program Files\\Ombrevale\\Hushpane\\Hushpane.exe\" /load installed", true},
      {L"\"C:\\Program Files\\Ombrevale\\Hushpane\\Hushpane.exe\" installed", true},
      {L"\"C:\\Program Files\\Ombrevale\\Hushpane\\Hushpane.exe\" /load", false},
      {L"\"C:\\Program Files\\Ombrevale\\Hushpane\\Hushpane.exe\"", false},
      {L"Hushpane.exe /reinstalledx", true},     // a substring test
      {L"Hushpane.exe /load Installed", false},  // case-sensitive
      {L"Hushpane.exe /load INSTALLED", false},
      // The program's own path never counts.
      {L"\"C:\\installed\\Hushpane.exe\" /load", false},
      {L"C:\\installed\\Hushpane.exe /load", false},
      {L"  C:\\installed\\Hushpane.exe", false},
      {L"\"C:\\installed\\Hushpane.exe", false},  // unterminated quote: all path
      {L"", false},
      {nullptr, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(service::StartedInstalled(r.line), r.installed) << (r.line ? r.line : L"(null)");
  }
}

TEST(ServiceInstalled, SkipProgramToken) {
  EXPECT_STREQ(service::SkipProgramToken(L"\"C:\\a b\\x.exe\" /load"), L" /load");
  EXPECT_STREQ(service::SkipProgramToken(L"x.exe /load"), L" /load");
  EXPECT_STREQ(service::SkipProgramToken(L"x.exe"), L"");
  EXPECT_STREQ(service::SkipProgramToken(L"\"x.exe\""), L"");
}

}  // namespace
