// Reads and writes the simulated device values (see device_state.h). Each
// call opens and closes the key: the values change from other processes and
// are read a few times a second at most.
#include "platform/device_state.h"

static BOOL ReadOpen(HKEY key, LPCWSTR name, DWORD wantType, void* data, DWORD size) {
  BYTE buffer[64];
  DWORD type = 0, got = sizeof(buffer);
  LONG rc = RegQueryValueExW(key, name, nullptr, &type, buffer, &got);
  if (rc != ERROR_SUCCESS || type != wantType || got != size || size > sizeof(buffer)) return FALSE;
  memcpy(data, buffer, size);
  return TRUE;
}

// One open of the key for the value and, for a simulated one, the mark.
static BOOL ReadExact(LPCWSTR name, DWORD wantType, void* data, DWORD size, BOOL simulated) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, DEVICE_STATE_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return FALSE;
  DWORD mark = 0;
  BOOL ok = (!simulated || (ReadOpen(key, L"DeviceTool", REG_DWORD, &mark, sizeof(mark)) && mark == 1)) &&
            ReadOpen(key, name, wantType, data, size);
  RegCloseKey(key);
  return ok;
}

static BOOL WriteValue(LPCWSTR name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, DEVICE_STATE_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return FALSE;
  LONG rc = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

BOOL DeviceReadDword(LPCWSTR name, DWORD* value) { return ReadExact(name, REG_DWORD, value, sizeof(*value), FALSE); }

BOOL DeviceSimulatedDword(LPCWSTR name, DWORD* value) {
  return ReadExact(name, REG_DWORD, value, sizeof(*value), TRUE);
}

BOOL DeviceWriteDword(LPCWSTR name, DWORD value) { return WriteValue(name, REG_DWORD, &value, sizeof(value)); }

BOOL DeviceReadBinary(LPCWSTR name, void* data, DWORD size) { return ReadExact(name, REG_BINARY, data, size, FALSE); }

BOOL DeviceSimulatedBinary(LPCWSTR name, void* data, DWORD size) {
  return ReadExact(name, REG_BINARY, data, size, TRUE);
}

BOOL DeviceWriteBinary(LPCWSTR name, const void* data, DWORD size) { return WriteValue(name, REG_BINARY, data, size); }

BOOL DeviceMarkTool(void) { return DeviceWriteDword(L"DeviceTool", 1); }

BOOL DeviceDeleteValue(LPCWSTR name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, DEVICE_STATE_KEY, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return TRUE;
  LONG rc = RegDeleteValueW(key, name);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}
