// What the platform stand-ins' integration tests share: helper processes
// that read power queues or hold game input, and a key sink window in the
// test process itself. Helpers report through the registry under HKCU
// "Software\Ombrevale\Test\<name>" so that the test can poll them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace pt {

// Helper modes, started with wt::StartSelf(L"--helper <mode> ..."):
//   powerq NAME COUNT TIMEOUT_MS [BUFFER]  a registered power queue that
//       reads up to COUNT records (TIMEOUT_MS each, 4294967295 = INFINITE)
//       into a BUFFER-byte buffer (1024) and records "Flags<i>",
//       "Length<i>", "Count" and "Short" (reads that failed for size); it
//       sets the event NAME once registered; exit code: records read.
//   powerhold NAME  a registered power queue that is never read; sets NAME.
//   gxhold NAME MODE  a window of its own holding game input (GXOpenInput,
//       GameInputSetMode(MODE), GameInputSetTarget); records every key
//       message in "Keys" (entries vk | kind << 8, kind 0 WM_KEYDOWN,
//       1 WM_KEYUP, 2 WM_SYSKEYDOWN, 3 WM_SYSKEYUP; 0x20000 added when
//       GetMessageExtraInfo shows the pass-through mark) and sets NAME when
//       ready. Commands arrive as events NAME.close, NAME.open, NAME.front
//       (window to the front, focus on itself) and NAME.edit (focus on its
//       edit field); "Done" counts the commands carried out.
// Returns -1 when argv names none of them.
int PlatformHelper(int argc, wchar_t** argv);

std::wstring TestKey(const wchar_t* name);
// A DWORD the helper stored (false when absent).
bool ReadValue(const wchar_t* name, const wchar_t* value, DWORD* out);
// The key entries a gxhold helper recorded.
std::vector<DWORD> HelperKeys(const wchar_t* name);
void ClearTest(const wchar_t* name);
// Sets the helper's command event NAME.<command>.
void HelperCommand(const wchar_t* name, const wchar_t* command);
// Waits for a named event to exist and be set (a helper being ready).
bool WaitReady(const wchar_t* name, DWORD timeoutMs);
// Kills a helper and closes its handle.
void EndHelper(HANDLE& process);

// A top-level window of the test process that records key messages; it is
// pumped by Pump() (and by Wait()).
struct Sink {
  HWND window = nullptr;
  std::vector<DWORD> keys;  // same entries as the helper's
};
Sink* OpenSink();  // in front and focused
void CloseSink();
void Pump();
// Polls `cond` while pumping the sink's messages.
bool Wait(bool (*cond)(void*), void* arg, DWORD timeoutMs);
bool SinkHas(DWORD entry, DWORD timeoutMs);

}  // namespace pt
