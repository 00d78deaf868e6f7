#include "tests/wine/support/service_support.h"

#include <string>

#include "platform/power.h"
#include "shared/lock_window.h"
#include "tests/wine/support/support.h"

namespace svc {

bool Start(Service* s, const wchar_t* args) { return StartAt(s, wt::InstalledPath(L"Hushpane.exe"), args); }

bool StartAt(Service* s, const std::wstring& path, const wchar_t* args) {
  *s = Service();
  std::wstring line = L"\"" + path + L"\" " + args;
  wchar_t buffer[1024];
  if (line.size() >= 1024) return false;
  wcscpy(buffer, line.c_str());
  s->job = CreateJobObjectW(nullptr, nullptr);
  s->port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
  if (s->job == nullptr || s->port == nullptr) return false;
  JOBOBJECT_ASSOCIATE_COMPLETION_PORT link;
  link.CompletionKey = s->job;
  link.CompletionPort = s->port;
  if (!SetInformationJobObject(s->job, JobObjectAssociateCompletionPortInformation, &link, sizeof(link))) return false;
  // The service and the lock screens it starts get the null device as
  // their standard handles, not the test runner's output, which would
  // otherwise stay open for as long as they run.
  SECURITY_ATTRIBUTES inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof(si));
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = si.hStdOutput = si.hStdError = nul;
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof(pi));
  BOOL started =
      CreateProcessW(path.c_str(), buffer, nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (!started) return false;
  s->process = pi.hProcess;
  s->thread = pi.hThread;
  s->pid = pi.dwProcessId;
  bool inJob = AssignProcessToJobObject(s->job, pi.hProcess) != FALSE;
  ResumeThread(pi.hThread);
  return inJob;
}

void Release(Service* s) {
  // The whole job: also a lock screen that was only just being started
  // when the test ended.
  if (s->job != nullptr) TerminateJobObject(s->job, 1);
  if (s->process != nullptr) WaitForSingleObject(s->process, wt::kStepMs);
  HANDLE handles[] = {s->thread, s->process, s->job, s->port};
  for (HANDLE h : handles)
    if (h != nullptr) CloseHandle(h);
  *s = Service();
}

int LockStarts(Service* s) {
  DWORD message = 0;
  ULONG_PTR key = 0;
  LPOVERLAPPED data = nullptr;
  while (s->port != nullptr && GetQueuedCompletionStatus(s->port, &message, &key, &data, 0)) {
    DWORD pid = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(data));
    if (message == JOB_OBJECT_MSG_NEW_PROCESS && pid != s->pid) {
      ++s->lockStarts;
      s->lastStartedPid = pid;
    }
  }
  return s->lockStarts;
}

bool WaitLockStarts(Service* s, int atLeast, DWORD timeoutMs) {
  return wt::WaitFor([&] { return LockStarts(s) >= atLeast; }, timeoutMs);
}

bool KillLastStarted(Service* s, UINT exitCode) {
  LockStarts(s);
  if (s->lastStartedPid == 0) return false;
  HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, s->lastStartedPid);
  if (p == nullptr) return false;
  bool killed = TerminateProcess(p, exitCode) != FALSE && WaitForSingleObject(p, wt::kStepMs) == WAIT_OBJECT_0;
  CloseHandle(p);
  return killed;
}

bool CrashLastStarted(Service* s) {
  LockStarts(s);
  if (s->lastStartedPid == 0) return false;
  HANDLE p = OpenProcess(PROCESS_ALL_ACCESS, FALSE, s->lastStartedPid);
  if (p == nullptr) return false;
  HANDLE t = CreateRemoteThread(p, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<ULONG_PTR>(0x10)),
                                nullptr, 0, nullptr);
  bool ended = t != nullptr && WaitForSingleObject(p, wt::kProcessMs) == WAIT_OBJECT_0;
  if (t != nullptr) CloseHandle(t);
  CloseHandle(p);
  return ended;
}

DWORD LockWindowPid() {
  HWND w = FindWindowW(kLockWindowClass, kLockWindowTitle);
  DWORD pid = 0;
  if (w != nullptr) GetWindowThreadProcessId(w, &pid);
  return pid;
}

DWORD WaitNewLockWindow(DWORD notPid, DWORD timeoutMs) {
  DWORD pid = 0;
  wt::WaitFor([&] { return (pid = LockWindowPid()) != 0 && pid != notPid; }, timeoutMs);
  return pid != notPid ? pid : 0;
}

bool WaitLastStartedEnded(Service* s, DWORD timeoutMs) {
  LockStarts(s);
  if (s->lastStartedPid == 0) return false;
  HANDLE p = OpenProcess(SYNCHRONIZE, FALSE, s->lastStartedPid);
  if (p == nullptr) return true;  // already gone
  bool ended = WaitForSingleObject(p, timeoutMs) == WAIT_OBJECT_0;
  CloseHandle(p);
  return ended;
}

int Probe() {
  DWORD record[3] = {PBT_POWERINFOCHANGE, 0, 0};
  return SendPowerBroadcast(record, sizeof(record));
}

bool WaitListening(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  if (!wt::WaitFor([] { return Probe() >= 1; }, timeoutMs)) return false;
  DWORD spent = GetTickCount() - start;
  return wt::WaitFor([] { return PowerBusBacklog() == 0; }, spent < timeoutMs ? timeoutMs - spent : 0);
}

bool SetNamed(const wchar_t* name) {
  HANDLE h = OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
  if (h == nullptr) return false;
  SetEvent(h);
  CloseHandle(h);
  return true;
}

void ArmedWithButtons(WORD button1, WORD button2) {
  wt::Device(L"ac online");
  wt::Device(L"battery 80");
  wt::SetSetting(L"AutoRun", 1);
  wt::SetSetting(L"Button_1", button1);
  wt::SetSetting(L"Button_2", button2);
}

int SendToWindows(const Service& s, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs) {
  struct Search {
    DWORD pid;
    HWND windows[16];
    int count;
  } search = {s.pid, {}, 0};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        Search* found = reinterpret_cast<Search*>(context);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == found->pid && found->count < 16) found->windows[found->count++] = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  int answered = 0;
  for (int i = 0; i < search.count; ++i) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(search.windows[i], message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result)) ++answered;
  }
  return answered;
}

void ArmedSettings() {
  wt::SetSetting(L"AutoRun", 1);
  wt::SetSetting(L"Button_1", 0x70);  // F1
}

}  // namespace svc
