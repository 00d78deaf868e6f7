// Device tool: the phone and message state values and the owner name, in
// the hives where the suite reads them (active calls under
// HKEY_LOCAL_MACHINE, the rest under HKEY_CURRENT_USER).
#include <wchar.h>

#include "platform/core/device_words.h"
#include "tools/ovdevice/ovdevice.h"

bool WriteDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value) {
  HKEY h = nullptr;
  if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) != ERROR_SUCCESS) return false;
  LONG rc = RegSetValueExW(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  RegCloseKey(h);
  return rc == ERROR_SUCCESS;
}

bool DeleteValue(HKEY root, const wchar_t* key, const wchar_t* name) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(root, key, 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return true;
  LONG rc = RegDeleteValueW(h, name);
  RegCloseKey(h);
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

// `<n>|clear` for one DWORD value.
static int SetCount(HKEY root, const wchar_t* key, const wchar_t* name, const wchar_t* word) {
  if (wcscmp(word, L"clear") == 0) return DeleteValue(root, key, name) ? kExitDone : kExitFailed;
  uint32_t n = 0;
  if (!devicewords::ParseDecimal(word, 0xFFFFFFFFu, &n)) return kExitUsage;
  return WriteDword(root, key, name, n) ? kExitDone : kExitFailed;
}

int CommandCalls(int argc, wchar_t** argv) {
  if (argc != 2) return kExitUsage;
  if (wcscmp(argv[0], L"active") == 0)
    return SetCount(HKEY_LOCAL_MACHINE, L"System\\State\\Phone", L"Active Call Count", argv[1]);
  if (wcscmp(argv[0], L"missed") == 0)
    return SetCount(HKEY_CURRENT_USER, L"System\\State\\Phone", L"Missed Call Count", argv[1]);
  return kExitUsage;
}

int CommandCount(const wchar_t* which, int argc, wchar_t** argv) {
  if (argc != 1) return kExitUsage;
  const wchar_t* key = wcscmp(which, L"sms") == 0 ? L"System\\State\\Messages\\sms\\Unread"
                                                  : L"System\\State\\Messages\\TotalEmail\\Unread";
  return SetCount(HKEY_CURRENT_USER, key, L"Count", argv[0]);
}

int CommandOwner(int argc, wchar_t** argv) {
  if (argc != 1) return kExitUsage;
  const wchar_t* key = L"ControlPanel\\Owner";
  if (wcscmp(argv[0], L"clear") == 0) return DeleteValue(HKEY_CURRENT_USER, key, L"Name") ? kExitDone : kExitFailed;
  HKEY h = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) != ERROR_SUCCESS)
    return kExitFailed;
  DWORD bytes = static_cast<DWORD>((wcslen(argv[0]) + 1) * sizeof(wchar_t));
  LONG rc = RegSetValueExW(h, L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(argv[0]), bytes);
  RegCloseKey(h);
  return rc == ERROR_SUCCESS ? kExitDone : kExitFailed;
}
