// The skin file's load: the file access around the pure scan
// (lockscreen/core/skin_scan). One read of at most 4096 bytes; only the
// bytes actually read are scanned, so nothing depends on a terminator.
#include "lockscreen/skin.h"

#include <cwchar>

#include "lockscreen/core/layout.h"

skin::SkinSettings Skin_Load(const wchar_t* moduleDir, int32_t clockType) {
  skin::SkinSettings settings;  // flag 0, built-in colours, sizes 11, 11, 25, 9, 11

  wchar_t path[MAX_PATH];
  const int n = _snwprintf(path, MAX_PATH, L"%ls%lsconfig.ini", moduleDir != nullptr ? moduleDir : L"",
                           layout::SkinFolder(clockType));
  if (n < 0 || n >= MAX_PATH) return settings;  // a path that does not fit is a file that cannot be opened
  path[MAX_PATH - 1] = L'\0';

  HANDLE file =
      CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return settings;
  static BYTE buffer[skin::kMaxFileBytes];
  ZeroMemory(buffer, sizeof(buffer));
  DWORD got = 0;
  const BOOL ok = ReadFile(file, buffer, sizeof(buffer), &got, nullptr);
  CloseHandle(file);
  if (ok) skin::ParseSkinText(buffer, got, settings);
  return settings;
}
