// Device tool: AC line, battery, idle time and the pinned clock, kept as
// simulated device values (platform/device_state.h).
#include <string.h>
#include <wchar.h>

#include "platform/core/civil_time.h"
#include "platform/core/device_words.h"
#include "platform/core/idle_time.h"
#include "platform/device_state.h"
#include "platform/power.h"
#include "tools/ovdevice/ovdevice.h"

static int Done(BOOL ok) { return ok ? kExitDone : kExitFailed; }

int CommandAc(int argc, wchar_t** argv) {
  if (argc != 1) return kExitUsage;
  static const struct {
    const wchar_t* word;
    DWORD value;
  } kStates[] = {{L"offline", 0}, {L"online", 1}, {L"backup", 2}, {L"unknown", 255}};
  if (wcscmp(argv[0], L"desktop") == 0) return Done(DeviceDeleteValue(L"ACLineStatus"));
  for (const auto& s : kStates)
    if (wcscmp(argv[0], s.word) == 0) return Done(DeviceWriteDword(L"ACLineStatus", s.value));
  return kExitUsage;
}

int CommandBattery(int argc, wchar_t** argv) {
  if (argc != 1) return kExitUsage;
  if (wcscmp(argv[0], L"desktop") == 0) return Done(DeviceDeleteValue(L"BatteryPercent"));
  if (wcscmp(argv[0], L"unknown") == 0) return Done(DeviceWriteDword(L"BatteryPercent", 255));
  uint32_t percent = 0;
  if (!devicewords::ParseDecimal(argv[0], 100, &percent)) return kExitUsage;
  return Done(DeviceWriteDword(L"BatteryPercent", percent));
}

// Stores a simulated idle counter: `base` from now on, in `mode`.
static int SetIdle(DWORD mode, DWORD base) {
  BOOL ok = DeviceWriteDword(L"IdleBase", base) && DeviceWriteDword(L"IdleSince", GetTickCount()) &&
            DeviceWriteDword(L"IdleMode", mode);
  return Done(ok);
}

int CommandIdle(int argc, wchar_t** argv) {
  if (argc < 1) return kExitUsage;
  DWORD mode = idletime::kDesktop;
  DeviceReadDword(L"IdleMode", &mode);
  // The counter goes on from where the simulation stands (0 when the
  // desktop's own was in use).
  DWORD current = mode == idletime::kDesktop ? 0 : GetIdleTime();
  const wchar_t* word = argv[0];
  if (argc == 1 && wcscmp(word, L"desktop") == 0) {
    DeviceDeleteValue(L"IdleBase");
    DeviceDeleteValue(L"IdleSince");
    return Done(DeviceDeleteValue(L"IdleMode"));
  }
  if (argc == 1 && wcscmp(word, L"idle") == 0) return SetIdle(idletime::kIdle, current);
  if (argc == 1 && wcscmp(word, L"busy") == 0) return SetIdle(idletime::kBusy, current);
  if (argc == 1 && wcscmp(word, L"unsupported") == 0) return SetIdle(idletime::kFixed, idletime::kUnsupported);
  if (argc == 2 && wcscmp(word, L"set") == 0) {
    uint32_t ms = 0;
    bool hex = argv[1][0] == L'0' && (argv[1][1] == L'x' || argv[1][1] == L'X');
    if (!(hex ? devicewords::ParseHex32(argv[1], &ms) : devicewords::ParseDecimal(argv[1], 0xFFFFFFFFu, &ms)))
      return kExitUsage;
    return SetIdle(mode == idletime::kIdle ? idletime::kIdle : idletime::kFixed, ms);
  }
  return kExitUsage;
}

int CommandClock(int argc, wchar_t** argv) {
  if (argc == 1 && wcscmp(argv[0], L"clear") == 0) {
    DeviceDeleteValue(L"ClockRuns");
    DeviceDeleteValue(L"ClockSetAt");
    return Done(DeviceDeleteValue(L"ClockOverride"));
  }
  if (argc < 1 || argc > 2) return kExitUsage;
  bool runs = false;
  if (argc == 2) {
    if (wcscmp(argv[1], L"run") != 0) return kExitUsage;
    runs = true;
  }
  civil::Time t;
  if (!civil::Parse(argv[0], &t)) return kExitUsage;
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDayOfWeek = static_cast<WORD>(t.weekday);
  st.wDay = static_cast<WORD>(t.day);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULONGLONG setAt = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  BOOL ok = DeviceWriteBinary(L"ClockSetAt", &setAt, sizeof(setAt)) && DeviceWriteDword(L"ClockRuns", runs ? 1 : 0) &&
            DeviceWriteBinary(L"ClockOverride", &st, sizeof(st));
  return Done(ok);
}
