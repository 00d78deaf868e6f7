#include "shared/signals.h"

#include <sddl.h>

#include <cwchar>

#include "platform/events.h"

const wchar_t kActivateEventName[] = L"Ombrevale - Hushpane_Activate";
const wchar_t kServiceUnloadEventName[] = L"Ombrevale - Hushpane_Unload";
const wchar_t kLockMarkerEventName[] = L"Ombrevale - Unload";
const wchar_t kEndEventName[] = L"End_Event";
const wchar_t kIdleEventName[] = L"Idle_Event";

HANDLE SignalOpen(const wchar_t* name) { return OpenEventW(EVENT_ALL_ACCESS, FALSE, name); }

BOOL SignalExists(const wchar_t* name) {
  HANDLE h = SignalOpen(name);
  if (h == nullptr) return FALSE;
  CloseHandle(h);
  return TRUE;
}

// Who may open the five events: the system, the administrators, every
// interactive user and the maker, each with EVENT_ALL_ACCESS (the access
// every program opens them with); and a medium integrity label that lets
// unelevated programs set them. So the service, the lock screen and
// Tollwick reach each other whatever their elevation: an elevated maker's
// default would lock an unelevated Tollwick out of the events of a service
// that setup started. The names live in the session's own namespace, so the
// interactive users are this session's.
static const wchar_t kEventSecurity[] =
    L"D:(A;;0x1f0003;;;SY)(A;;0x1f0003;;;BA)(A;;0x1f0003;;;IU)(A;;0x1f0003;;;OW)S:(ML;;NW;;;ME)";

// Made once per process; a program makes its events at start-up, on its
// main thread. NULL (the default security) when it cannot be built.
static SECURITY_ATTRIBUTES* EventSecurity() {
  static SECURITY_ATTRIBUTES attributes;
  static bool tried = false;
  if (!tried) {
    tried = true;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(kEventSecurity, SDDL_REVISION_1, &sd, nullptr)) {
      attributes.nLength = sizeof(attributes);
      attributes.lpSecurityDescriptor = sd;  // kept for the process's life
      attributes.bInheritHandle = FALSE;
    }
  }
  return attributes.lpSecurityDescriptor != nullptr ? &attributes : nullptr;
}

HANDLE SignalCreate(const wchar_t* name, BOOL* alreadyExisted) {
  HANDLE h = CreateEventW(EventSecurity(), TRUE, FALSE, name);
  // A maker that may not set that label (below medium integrity) still
  // gets its events, with the default security.
  if (h == nullptr && EventSecurity() != nullptr) h = CreateEventW(nullptr, TRUE, FALSE, name);
  if (alreadyExisted != nullptr) *alreadyExisted = h != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
  return h;
}

BOOL SignalSet(HANDLE event) { return EventModify(event, EVENT_SET); }
BOOL SignalReset(HANDLE event) { return EventModify(event, EVENT_RESET); }

namespace {

BOOL Launch(const wchar_t* path, const wchar_t* arguments, BOOL inherit, HANDLE* process) {
  wchar_t commandLine[MAX_PATH + 64];
  int n = swprintf(commandLine, MAX_PATH + 64, L"\"%ls\" %ls", path, arguments);
  if (n < 0) return FALSE;
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof(si));
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof(pi));
  if (!CreateProcessW(path, commandLine, nullptr, nullptr, inherit, 0, nullptr, nullptr, &si, &pi)) return FALSE;
  CloseHandle(pi.hThread);
  if (process != nullptr) *process = pi.hProcess;
  else CloseHandle(pi.hProcess);
  return TRUE;
}

}  // namespace

const wchar_t kOrderlyEndVariable[] = L"OMBREVALE_ORDERLY_END";

BOOL StartProgram(const wchar_t* path, const wchar_t* arguments, HANDLE* process) {
  return Launch(path, arguments, FALSE, process);
}

BOOL StartProgramHandingOver(const wchar_t* path, const wchar_t* arguments, HANDLE event, HANDLE* process) {
  wchar_t value[32];
  swprintf(value, 32, L"%llu", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(event)));
  // Inheritable only for this start, and the variable only in this start's
  // environment: the service starts nothing else with them.
  if (!SetHandleInformation(event, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT) ||
      !SetEnvironmentVariableW(kOrderlyEndVariable, value))
    return FALSE;
  BOOL started = Launch(path, arguments, TRUE, process);
  SetEnvironmentVariableW(kOrderlyEndVariable, nullptr);
  SetHandleInformation(event, HANDLE_FLAG_INHERIT, 0);
  return started;
}

HANDLE TakeHandedOverEvent(void) {
  wchar_t value[32];
  DWORD n = GetEnvironmentVariableW(kOrderlyEndVariable, value, 32);
  SetEnvironmentVariableW(kOrderlyEndVariable, nullptr);
  if (n == 0 || n >= 32) return nullptr;
  wchar_t* end = nullptr;
  unsigned long long number = wcstoull(value, &end, 10);
  if (end == value || *end != L'\0' || number == 0) return nullptr;
  HANDLE event = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(number));
  // Only an event that is there and not yet set is taken; anything else
  // under that number is left alone.
  if (WaitForSingleObject(event, 0) != WAIT_TIMEOUT) return nullptr;
  return event;
}
