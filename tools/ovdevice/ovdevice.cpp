// ovdevice: plays the phone's hardware for the demo and the tests - power
// broadcasts, the display, AC line, battery, idle time, the phone and
// message counts, the owner name, the clock and a hot-key peer. Everything
// it sets lives in the registry (platform/device_state.h) or travels on the
// power bus, so the suite's programs see it as they would see the device.
#include <stdio.h>
#include <wchar.h>

#include "platform/device_state.h"
#include "tools/ovdevice/ovdevice.h"

static const char kUsage[] = "usage: ovdevice <command> ...\n"
                             "  power on|off|suspend|idle|critical|reset|transition|resume\n"
                             "      send a power broadcast (PBT_TRANSITION with the state's flag;\n"
                             "      transition: flags 0; resume: PBT_RESUME); prints \"reached <n>\"\n"
                             "  power raw <message-hex> <flags-hex> [length-bytes]\n"
                             "      send a record of that kind and flags (length 1-1024, default 12;\n"
                             "      longer records are refused: exit 1)\n"
                             "  display                 print \"on\" or \"off\" (exit 0 on, 1 off)\n"
                             "  display on|off          set the recorded display state (from then on the\n"
                             "                          lock screen records instead of turning the monitors)\n"
                             "  ac online|offline|unknown|backup|desktop\n"
                             "  battery <0-100>|unknown|desktop\n"
                             "  idle idle|busy|unsupported|desktop|set <ms>\n"
                             "      idle: the idle counter grows with real time; busy: it stands\n"
                             "      still; unsupported: 0xFFFFFFFF; set: the counter takes <ms>\n"
                             "      (decimal or 0x-hex) and keeps growing in idle mode\n"
                             "  calls active <n>|clear  HKLM System\\State\\Phone \"Active Call Count\"\n"
                             "  calls missed <n>|clear  HKCU System\\State\\Phone \"Missed Call Count\"\n"
                             "  sms <n>|clear           unread SMS count\n"
                             "  mail <n>|clear          unread e-mail count\n"
                             "  owner \"<name>\"|clear    the owner name\n"
                             "  clock \"YYYY-MM-DD HH:MM:SS\" [run]|clear\n"
                             "      pin the lock screen's clock (run: it advances from now)\n"
                             "  hotkey <vk-hex> <seconds> [modifiers-hex]\n"
                             "      register a hot key like a phone application; print\n"
                             "      \"hotkey <vk> ready\" once registered, then \"hotkey <vk> <count>\"\n"
                             "      per hit (vk in hex), store the count in HKCU\n"
                             "      Software\\Ombrevale\\Device \"HotkeyHits\", end after <seconds>\n"
                             "  control <id-hex>         print \"x y\", the screen centre of a control of\n"
                             "                           the configuration window or its menu bar\n"
                             "  running <exe>            print how many processes run <exe> (exit 1: none)\n"
                             "exit codes: 0 done, 1 failed, 2 bad usage\n";

static int Usage() {
  fputs(kUsage, stdout);
  fflush(stdout);
  return kExitUsage;
}

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  // Whatever the tool sets is heeded only once it has marked itself.
  DeviceMarkTool();
  const wchar_t* command = argv[1];
  int rest = argc - 2;
  wchar_t** words = argv + 2;
  int code = kExitUsage;
  if (wcscmp(command, L"power") == 0) code = CommandPower(rest, words);
  else if (wcscmp(command, L"display") == 0) code = CommandDisplay(rest, words);
  else if (wcscmp(command, L"ac") == 0) code = CommandAc(rest, words);
  else if (wcscmp(command, L"battery") == 0) code = CommandBattery(rest, words);
  else if (wcscmp(command, L"idle") == 0) code = CommandIdle(rest, words);
  else if (wcscmp(command, L"clock") == 0) code = CommandClock(rest, words);
  else if (wcscmp(command, L"calls") == 0) code = CommandCalls(rest, words);
  else if (wcscmp(command, L"sms") == 0 || wcscmp(command, L"mail") == 0) code = CommandCount(command, rest, words);
  else if (wcscmp(command, L"owner") == 0) code = CommandOwner(rest, words);
  else if (wcscmp(command, L"hotkey") == 0) code = CommandHotkey(rest, words);
  else if (wcscmp(command, L"control") == 0) code = CommandControl(rest, words);
  else if (wcscmp(command, L"running") == 0) code = CommandRunning(rest, words);
  if (code == kExitUsage) return Usage();
  fflush(stdout);
  return code;
}
