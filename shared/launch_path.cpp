// The launch paths: a shell folder and a fixed tail (see signals.h). Kept
// apart from the events so that a program that starts no other (the lock
// screen) links neither this nor shell32, which it would otherwise load at
// every start and keep.
#include <shlobj.h>

#include "shared/core/paths.h"
#include "shared/signals.h"

BOOL ComposeLaunchPath(LaunchPath which, wchar_t out[128]) {
  int csidl = CSIDL_PROGRAM_FILES;
  const wchar_t* tail = paths::kLockScreenTail;
  switch (which) {
    case kLaunchLockScreen: break;
    case kLaunchService: tail = paths::kServiceTail; break;
    case kLaunchStartupShortcut:
      csidl = CSIDL_STARTUP;
      tail = paths::kStartupShortcutTail;
      break;
    case kLaunchInstalledShortcut:
      csidl = CSIDL_PROGRAMS;
      tail = paths::kInstalledShortcutTail;
      break;
  }
  out[0] = L'\0';
  // The folder itself may be long; it is queried into a full MAX_PATH
  // buffer and only the composed result is held to 128 units.
  wchar_t folder[MAX_PATH];
  if (!SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE)) return FALSE;
  return paths::Compose(out, paths::kCapacity, folder, tail) ? TRUE : FALSE;
}
