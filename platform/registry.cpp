// The shell library's registry DWORD read, and its count for the tests.
#include "platform/registry.h"

static volatile LONG g_registryReads = 0;

HRESULT RegistryGetDWORD(HKEY root, LPCWSTR key, LPCWSTR value, DWORD* data) {
  InterlockedIncrement(&g_registryReads);
  if (data == nullptr) return E_INVALIDARG;
  HKEY h = nullptr;
  LONG rc = RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE, &h);
  if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
  // Read into a larger buffer so that an 8-byte value is seen as such and
  // refused, not cut to its first four bytes.
  BYTE buffer[16];
  DWORD type = 0, size = sizeof(buffer);
  rc = RegQueryValueExW(h, value, nullptr, &type, buffer, &size);
  RegCloseKey(h);
  if (rc == ERROR_MORE_DATA) return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
  if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
  if (type != REG_DWORD || size != sizeof(DWORD)) return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
  memcpy(data, buffer, sizeof(DWORD));
  return S_OK;
}

LONG RegistryGetDWORDCount(void) { return InterlockedCompareExchange(&g_registryReads, 0, 0); }
