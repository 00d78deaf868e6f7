// See early_picture.h. The thread writes the bitmap and ends; the window
// thread reads it only after the thread's handle is signalled.
#include "lockscreen/early_picture.h"

#include <cwchar>

#include "platform/image.h"
#include "platform/thread_stack.h"

// How long the first paint waits for a decode that is under way. A decode
// takes some tens of milliseconds; one that hangs must not keep the lock
// window unpainted, so the paint then decodes itself.
static const DWORD kTakeWaitMs = 2000;

static HANDLE s_thread = nullptr;  // until awaited
static wchar_t s_path[MAX_PATH + 260];
static HBITMAP s_bitmap = nullptr;  // the thread's result

static DWORD WINAPI DecodeAhead(LPVOID) {
  ThreadReleaseStack();  // what Wine zeroed would stay resident while it decodes
  s_bitmap = SHLoadImageFile(s_path);
  return 0;
}

void EarlyPicture_Start(const wchar_t* path) {
  if (s_thread != nullptr || path == nullptr || wcslen(path) >= sizeof(s_path) / sizeof(s_path[0])) return;
  wcscpy(s_path, path);
  s_bitmap = nullptr;
  s_thread = CreateThread(nullptr, 0, DecodeAhead, nullptr, 0, nullptr);
}

// Waits up to `ms` for the decode; TRUE (and the thread handle closed)
// once it has ended.
static bool Ended(DWORD ms) {
  if (s_thread == nullptr || WaitForSingleObject(s_thread, ms) != WAIT_OBJECT_0) return false;
  CloseHandle(s_thread);
  s_thread = nullptr;
  return true;
}

BOOL EarlyPicture_Take(const wchar_t* path, HBITMAP* bitmap) {
  *bitmap = nullptr;
  if (!Ended(kTakeWaitMs)) return FALSE;
  HBITMAP result = s_bitmap;
  s_bitmap = nullptr;
  if (wcscmp(path, s_path) != 0) {
    if (result != nullptr) DeleteObject(result);
    return FALSE;
  }
  *bitmap = result;
  return TRUE;
}

void EarlyPicture_Drop(void) {
  if (s_thread != nullptr && !Ended(kTakeWaitMs)) return;
  if (s_bitmap != nullptr) DeleteObject(s_bitmap);
  s_bitmap = nullptr;
}
