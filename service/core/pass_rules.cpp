// The start-of-pass decision and the "installed" test.
#include "service/core/pass_rules.h"

#include <cwchar>

namespace service {

PassStart DecidePassStart(bool autoRun, bool activateAtStartup, bool firstPass, bool installed) {
  if (!autoRun) return kLockAndEnd;
  if (activateAtStartup && firstPass && !installed) return kLockNow;
  return kWaitLoop;
}

const wchar_t* SkipProgramToken(const wchar_t* commandLine) {
  if (commandLine == nullptr) return L"";
  const wchar_t* p = commandLine;
  while (*p == L' ' || *p == L'\t') ++p;
  if (*p == L'"') {
    // Quoted path: up to the closing quote (or the end, when it is missing).
    ++p;
    while (*p != L'\0' && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p != L'\0' && *p != L' ' && *p != L'\t') ++p;
  }
  return p;
}

bool StartedInstalled(const wchar_t* commandLine) {
  return std::wcsstr(SkipProgramToken(commandLine), L"installed") != nullptr;
}

}  // namespace service
