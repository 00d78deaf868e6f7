// The shell library's desktop stand-ins: full-screen top-most windows,
// activation bookkeeping and the registry DWORD read. (The JPEG loader and
// the dialog and menu bar live in image.cpp and menubar.cpp.)
#include "platform/shell.h"

static volatile LONG g_registryReads = 0;

BOOL SHFullScreen(HWND window, DWORD state) {
  if (!IsWindow(window)) return FALSE;
  const DWORD hide = SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON;
  if (state & hide) {
    // No task bar to hide on the desktop: the window itself goes top-most
    // over the whole screen.
    return SetWindowPos(window, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                        SWP_NOACTIVATE | SWP_NOOWNERZORDER) != FALSE;
  }
  if (state & SHFS_SHOWTASKBAR)
    return SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) != FALSE;
  return TRUE;
}

BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info, DWORD flags) {
  (void)window;
  (void)lParam;
  (void)flags;
  // There is no input panel to raise or lower: keep the record current only.
  if (info != nullptr && info->cbSize >= sizeof(SHACTIVATEINFO)) info->fActive = LOWORD(wParam) != WA_INACTIVE;
  return TRUE;
}

BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info) {
  (void)window;
  (void)wParam;
  (void)lParam;
  (void)info;
  return TRUE;
}

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
