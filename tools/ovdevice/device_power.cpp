// Device tool: power broadcasts and the display state.
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "platform/core/device_words.h"
#include "platform/core/power_ring.h"
#include "platform/device_state.h"
#include "platform/display.h"
#include "platform/power.h"
#include "tools/ovdevice/ovdevice.h"

// Sends a record of `size` bytes: the header, then the state name if there
// is room. Sizes over the bus's limit are passed on to be refused there.
static int Send(DWORD message, DWORD flags, const wchar_t* stateName, DWORD size) {
  static BYTE record[powerbus::kMaxRecord + 1024];
  if (size > sizeof(record)) size = sizeof(record);
  memset(record, 0, sizeof(record));
  DWORD nameBytes = static_cast<DWORD>((wcslen(stateName) + 1) * sizeof(wchar_t));
  DWORD length = size > 12 ? size - 12 : 0;
  DWORD header[3] = {message, flags, length};
  memcpy(record, header, size < 12 ? size : 12);
  if (size > 12) memcpy(record + 12, stateName, nameBytes < length ? nameBytes : length);
  int reached = SendPowerBroadcast(record, size);
  if (reached < 0) {
    printf("refused\n");
    return kExitFailed;
  }
  printf("reached %d\n", reached);
  return kExitDone;
}

int CommandPower(int argc, wchar_t** argv) {
  if (argc < 1) return kExitUsage;
  if (wcscmp(argv[0], L"raw") == 0) {
    uint32_t message = 0, flags = 0, size = 12;
    if (argc < 3 || argc > 4) return kExitUsage;
    if (!devicewords::ParseHex32(argv[1], &message) || !devicewords::ParseHex32(argv[2], &flags)) return kExitUsage;
    if (argc == 4 && !devicewords::ParseDecimal(argv[3], 2048, &size)) return kExitUsage;
    return Send(message, flags, L"", size);
  }
  if (argc != 1) return kExitUsage;
  devicewords::PowerWord w;
  if (!devicewords::PowerByWord(argv[0], &w)) return kExitUsage;
  DWORD size = 12 + static_cast<DWORD>((wcslen(w.word) + 1) * sizeof(wchar_t));
  return Send(w.message, w.flags, w.word, size);
}

int CommandDisplay(int argc, wchar_t** argv) {
  if (argc == 0) {
    int on = DeviceDisplayIsOn();
    printf("%s\n", on ? "on" : "off");
    return on ? kExitDone : kExitFailed;
  }
  if (argc != 1) return kExitUsage;
  // Setting a state makes the display simulated from here on: the lock
  // screen records its display switches instead of turning the monitors.
  if (wcscmp(argv[0], L"on") == 0) DeviceWriteDword(L"DisplayOff", 0);
  else if (wcscmp(argv[0], L"off") == 0) DeviceWriteDword(L"DisplayOff", 1);
  else return kExitUsage;
  return kExitDone;
}
