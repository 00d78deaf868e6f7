// Failures that must end locked: a lock screen killed (exit code 0
// included), crashed or closed by another program, an exception in one of
// its workers, named objects taken by a stranger, a power queue the power
// manager lost, a stale idle signal, a keyboard hook the system removed, a
// stored key code without a side, TimeOut 0 on external power. Each test
// causes the failure and checks what a user sees: a lock window again, the
// keys kept from a peer's hot keys, the buttons still unlocking, no core
// spinning.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/device_state.h"
#include "platform/power.h"
#include "shared/signals.h"
#include "tests/wine/support/config_support.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/service_support.h"
#include "tests/wine/support/support.h"

namespace {

const WORD kB1 = VK_F1;
const WORD kB2 = 'K';
// A dead lock screen is replaced within this (the start of a new one under
// a loaded machine, plus the back-off of one that keeps dying).
const DWORD kRestartBudgetMs = 10000;
// A spinning thread uses about all of a span; a waiting program next to
// nothing. The bound is far from both.
const double kSpinShare = 0.25;

// Wine's own CPU accounting of a program over `span` ms, as a share of it.
double CpuShare(const char* exe, DWORD span) {
  double before = wt::HostCpuMs(exe);
  if (before < 0) return -1;
  DWORD start = GetTickCount();
  Sleep(span);  // the span over which CPU time is measured
  double used = wt::HostCpuMs(exe) - before;
  return used / static_cast<double>(GetTickCount() - start);
}

class FailClosed : public lt::LockTest {
 protected:
  void SetUp() override {
    lt::LockTest::SetUp();
    svc::ArmedWithButtons(kB1, kB2);
  }
  void TearDown() override {
    svc::Release(&service_);
    lt::CloseLock(lock_);
    if (peer_ != nullptr) lt::StopPeer(peer_);
    for (HANDLE h : squatters_)
      if (h != nullptr) CloseHandle(h);
    lt::LockTest::TearDown();
  }
  void StartArmed() {
    ASSERT_TRUE(svc::Start(&service_));
    ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));
  }
  // Waits until the lock window of process `pid` holds the keys.
  static bool HoldsKeys(DWORD pid) {
    return wt::WaitFor(
        [pid] {
          DWORD owner = 0;
          return lt::DeviceDword(L"GameInputOwner", &owner) && owner == pid;
        },
        wt::kProcessMs);
  }
  // Locks with a suspend broadcast; the lock screen's pid.
  DWORD LockAndShow() {
    int before = svc::LockStarts(&service_);
    if (wt::Device(L"power suspend") != 0 || !svc::WaitLockStarts(&service_, before + 1, wt::kProcessMs)) return 0;
    DWORD pid = svc::WaitNewLockWindow(0, wt::kProcessMs);
    return pid != 0 && HoldsKeys(pid) ? pid : 0;
  }
  // Both buttons; true when the lock screen `pid` ended.
  static bool UnlockWithButtons(DWORD pid) {
    HANDLE p = OpenProcess(SYNCHRONIZE, FALSE, pid);
    wt::Key(kB1, false);
    wt::Key(kB2, false);
    bool ended = p != nullptr && WaitForSingleObject(p, wt::kProcessMs) == WAIT_OBJECT_0;
    wt::Key(kB1, true);
    wt::Key(kB2, true);
    if (p != nullptr) CloseHandle(p);
    return ended;
  }
  // The service ends on its stop event only from its armed wait: after an
  // orderly end it re-arms, after a death it would show a new lock screen.
  int StopThroughArmedWait() {
    if (!svc::SetNamed(kServiceUnloadEventName)) return -1;
    return wt::WaitExit(service_.process, wt::kProcessMs);
  }
  void Squat(const wchar_t* name) {
    HANDLE m = CreateMutexW(nullptr, FALSE, name);
    ASSERT_NE(m, nullptr);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    squatters_.push_back(m);
  }
  void Peer() {
    peer_ = lt::StartPeer();
    ASSERT_TRUE(lt::PeerHotKey(peer_, 1, 0, 'A'));
  }
  // A key the lock screen must keep from the peer's hot key, and the
  // buttons that must still end it.
  void ExpectKeysHeldThenUnlock(HWND window, HANDLE process) {
    LONG before = lt::Probe(window, kProbeKeyDowns);
    wt::Tap('A');
    EXPECT_TRUE(lt::WaitProbe(window, kProbeKeyDowns, before + 1, wt::kStepMs));
    EXPECT_EQ(lt::PeerHotKeys(peer_), 0);
    wt::Key(kB1, false);
    wt::Key(kB2, false);
    EXPECT_EQ(wt::WaitExit(process, wt::kProcessMs), 0);
    wt::Key(kB1, true);
    wt::Key(kB2, true);
  }

  svc::Service service_;
  lt::Peer* peer_ = nullptr;
  std::vector<HANDLE> squatters_;
};

// ------------------------------------------------------- a lock screen dies

enum Death { kKillExitZero, kKillExitOne, kCrash, kForeignClose };

class LockScreenDeath : public FailClosed, public ::testing::WithParamInterface<Death> {};

TEST_P(LockScreenDeath, IsStartedAgainAndOnlyTheButtonsEndIt) {
  StartArmed();
  DWORD first = LockAndShow();
  ASSERT_NE(first, 0u);
  switch (GetParam()) {
    case kKillExitZero: ASSERT_TRUE(svc::KillLastStarted(&service_, 0)); break;
    case kKillExitOne: ASSERT_TRUE(svc::KillLastStarted(&service_, 1)); break;
    case kCrash: ASSERT_TRUE(svc::CrashLastStarted(&service_)); break;
    case kForeignClose:
      PostMessageW(FindWindowW(kLockWindowClass, kLockWindowTitle), WM_CLOSE, 0, 0);
      ASSERT_TRUE(svc::WaitLastStartedEnded(&service_, wt::kProcessMs));
      break;
  }
  DWORD second = svc::WaitNewLockWindow(first, kRestartBudgetMs);
  ASSERT_NE(second, 0u) << "no lock window after the death";
  ASSERT_TRUE(HoldsKeys(second));
  EXPECT_EQ(svc::LockStarts(&service_), 2);
  ASSERT_TRUE(UnlockWithButtons(second));
  EXPECT_EQ(StopThroughArmedWait(), 0);
  EXPECT_EQ(svc::LockStarts(&service_), 2);
}

INSTANTIATE_TEST_SUITE_P(Each, LockScreenDeath, ::testing::Values(kKillExitZero, kKillExitOne, kCrash, kForeignClose));

TEST_F(FailClosed, LockScreenDyingAgainAndAgainIsRestartedWithoutSpinning) {
  StartArmed();
  DWORD pid = LockAndShow();
  ASSERT_NE(pid, 0u);
  double before = wt::HostCpuMs("Hushpane.exe");
  DWORD start = GetTickCount();
  for (int death = 1; death <= 7; ++death) {
    ASSERT_TRUE(svc::KillLastStarted(&service_, 0));
    DWORD next = svc::WaitNewLockWindow(pid, kRestartBudgetMs);
    ASSERT_NE(next, 0u) << "not started again after death " << death;
    pid = next;
  }
  double share = (wt::HostCpuMs("Hushpane.exe") - before) / static_cast<double>(GetTickCount() - start);
  EXPECT_LT(share, kSpinShare);
  ASSERT_TRUE(HoldsKeys(pid));
  EXPECT_TRUE(UnlockWithButtons(pid));
}

TEST_F(FailClosed, ExceptionInAWorkerKeepsTheLock) {
  Peer();
  SetEnvironmentVariableW(L"OMBREVALE_TEST_FAULT", L"appointments-alloc");
  lock_ = lt::StartLock();
  SetEnvironmentVariableW(L"OMBREVALE_TEST_FAULT", nullptr);
  ASSERT_NE(lock_.window, nullptr);
  // The appointments thread met its failed allocation and ended; the lock
  // screen is still there, its refresh still runs.
  EXPECT_TRUE(wt::WaitFor(
      [&] {
        LONG_PTR flags = lt::Probe(lock_.window, kProbeWorkers);
        return flags >= 0 && (flags & 1) == 0;
      },
      wt::kStepMs));
  LONG_PTR ticks = lt::Probe(lock_.window, kProbeTicks);
  EXPECT_TRUE(lt::WaitProbe(lock_.window, kProbeTicks, ticks + 3, wt::kStepMs));
  ExpectKeysHeldThenUnlock(lock_.window, lock_.process);
}

// ------------------------------------------------------ names a stranger took

TEST_F(FailClosed, LockScreenLocksWithEndEventAndMarkerTakenWithoutSpinning) {
  wt::ReleaseEndEvent();
  Squat(kEndEventName);
  Squat(kLockMarkerEventName);
  Peer();
  lock_ = lt::StartLock();
  ASSERT_NE(lock_.window, nullptr);
  double share = CpuShare("Corvane.exe", 1500);
  ASSERT_GE(share, 0);
  EXPECT_LT(share, kSpinShare);
  ExpectKeysHeldThenUnlock(lock_.window, lock_.process);
}

class ServiceNameTaken : public FailClosed, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(ServiceNameTaken, LocksOnceAndEndsWithItsCode) {
  if (std::wstring(GetParam()) == kEndEventName) wt::ReleaseEndEvent();
  Squat(GetParam());
  ASSERT_TRUE(svc::Start(&service_));
  EXPECT_EQ(wt::WaitExit(service_.process, wt::kProcessMs), 2);
  EXPECT_EQ(svc::LockStarts(&service_), 1);
  DWORD pid = svc::WaitNewLockWindow(0, wt::kProcessMs);
  ASSERT_NE(pid, 0u);
  ASSERT_TRUE(HoldsKeys(pid));
  EXPECT_TRUE(UnlockWithButtons(pid));
}

INSTANTIATE_TEST_SUITE_P(Each, ServiceNameTaken,
                         ::testing::Values(kEndEventName, kIdleEventName, kActivateEventName, kServiceUnloadEventName));

// An event (not a mutex) under the marker's name: a marker alone must not
// pass for a lock screen, neither to the service (it would never arm again)
// nor to a new lock screen (it would end as a second one).
TEST_F(FailClosed, StrangersMarkerEventStopsNoLock) {
  HANDLE squat = CreateEventW(nullptr, TRUE, FALSE, kLockMarkerEventName);
  ASSERT_NE(squat, nullptr);
  squatters_.push_back(squat);
  StartArmed();
  DWORD first = LockAndShow();
  ASSERT_NE(first, 0u);
  ASSERT_TRUE(svc::KillLastStarted(&service_, 0));
  DWORD second = svc::WaitNewLockWindow(first, kRestartBudgetMs);
  ASSERT_NE(second, 0u) << "no lock window after the death";
  ASSERT_TRUE(HoldsKeys(second));
  ASSERT_TRUE(UnlockWithButtons(second));
  DWORD third = LockAndShow();
  ASSERT_NE(third, 0u) << "the service did not arm again";
  EXPECT_TRUE(UnlockWithButtons(third));
}

// ------------------------------------------------------- the service's ears

class LostPowerQueue : public FailClosed, public ::testing::WithParamInterface<bool> {};

// The power manager forgets every queue (as after its restart); with a
// record waiting, the service's next read fails with an invalid handle.
TEST_P(LostPowerQueue, IsMadeAgainAndThePowerOffStillLocks) {
  StartArmed();
  const bool recordWaiting = GetParam();
  if (recordWaiting) ASSERT_NE(SuspendThread(service_.thread), static_cast<DWORD>(-1));
  if (recordWaiting) ASSERT_GE(svc::Probe(), 1);
  PowerBusForgetQueues();
  if (recordWaiting) ResumeThread(service_.thread);
  double share = CpuShare("Hushpane.exe", 1500);
  EXPECT_LT(share, kSpinShare);
  ASSERT_TRUE(svc::WaitListening(15000));
  ASSERT_EQ(wt::Device(L"power suspend"), 0);
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
}

INSTANTIATE_TEST_SUITE_P(Each, LostPowerQueue, ::testing::Bool());

// Every thread of a program of this prefix, suspended or resumed.
void SuspendProcess(DWORD pid, bool suspend) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 e;
  e.dwSize = sizeof(e);
  for (BOOL ok = Thread32First(snap, &e); ok; ok = Thread32Next(snap, &e)) {
    if (e.th32OwnerProcessID != pid) continue;
    HANDLE t = OpenThread(THREAD_SUSPEND_RESUME, FALSE, e.th32ThreadID);
    if (t == nullptr) continue;
    if (suspend) SuspendThread(t);
    else ResumeThread(t);
    CloseHandle(t);
  }
  CloseHandle(snap);
}

TEST_F(FailClosed, LockScreenMakesItsLostPowerQueueAgain) {
  lock_ = lt::StartLock();
  ASSERT_NE(lock_.window, nullptr);
  DWORD pid = GetProcessId(lock_.process);
  SuspendProcess(pid, true);
  ASSERT_GE(svc::Probe(), 1);  // a record waits; then the queue is lost
  PowerBusForgetQueues();
  SuspendProcess(pid, false);
  double share = CpuShare("Corvane.exe", 1500);
  EXPECT_LT(share, kSpinShare);
  // Listening again: a critical record reaches it and ends it in order.
  ASSERT_TRUE(svc::WaitListening(15000));
  ASSERT_EQ(wt::Device(L"power critical"), 0);
  lt::ExpectCleanEnd(lock_.process, nullptr);
  CloseHandle(lock_.process);
  lock_ = lt::Lock();
}

// The idle signal came in the same cycle as a power-off, which won: left
// set, it would lock again at once after the unlock.
TEST_F(FailClosed, StaleIdleSignalDoesNotLockAgainAfterTheUnlock) {
  StartArmed();
  ASSERT_NE(SuspendThread(service_.thread), static_cast<DWORD>(-1));
  ASSERT_TRUE(svc::SetNamed(kIdleEventName));
  DWORD suspend[3] = {PBT_TRANSITION, POWER_STATE_SUSPEND, 0};
  ASSERT_GE(SendPowerBroadcast(suspend, sizeof(suspend)), 1);
  ResumeThread(service_.thread);
  ASSERT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
  DWORD pid = svc::WaitNewLockWindow(0, wt::kProcessMs);
  ASSERT_NE(pid, 0u);
  ASSERT_TRUE(HoldsKeys(pid));
  ASSERT_TRUE(UnlockWithButtons(pid));
  ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));  // armed again
  EXPECT_FALSE(wt::EventSignalled(kIdleEventName));
  EXPECT_EQ(StopThroughArmedWait(), 0);
  EXPECT_EQ(svc::LockStarts(&service_), 1);
}

// A lock screen the service did not start shows, and the armed service
// locks on an activate request: that lock must not stop the showing lock
// screen's workers through "End_Event".
TEST_F(FailClosed, ALockLeavesTheWorkersOfTheShowingLockScreenRunning) {
  wt::SetSetting(L"TimeOut", 1);
  StartArmed();
  lock_ = lt::StartLock();
  ASSERT_NE(lock_.window, nullptr);
  ASSERT_TRUE(svc::SetNamed(kActivateEventName));
  ASSERT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
  ASSERT_TRUE(svc::WaitLastStartedEnded(&service_, wt::kProcessMs));  // a second lock screen ends at once
  LONG_PTR ticks = lt::Probe(lock_.window, kProbeTicks);
  EXPECT_TRUE(lt::WaitProbe(lock_.window, kProbeTicks, ticks + 5, wt::kStepMs));
  EXPECT_EQ(lt::Probe(lock_.window, kProbeWorkers) & 2, 2);  // the power thread too
}

// Right after a cycle began (a quiet record was just taken), a power-off
// must not wait for the rest of the cycle's 500 ms pause. A service that
// kept the pause could not start a lock screen sooner than 500 ms after the
// quiet record was sent, on an idle machine or a busy one: a start sooner
// than that, counted from that send, proves the pause was cut short. A busy
// machine can only make a round slower, so rounds are repeated (re-armed
// each time) until one shows it, within a generous bound.
TEST_F(FailClosed, PowerOffEndsTheCyclePause) {
  // Below the kept pause, with room for the tick count's granularity.
  const DWORD kSoonerThanThePauseMs = 450;
  // New rounds are begun within this; one round takes about a second on a
  // quiet machine.
  const DWORD kRoundsMs = 45000;
  StartArmed();
  wt::StandInLock shown = wt::HoldStandInLock();  // started lock screens end at once
  ASSERT_NE(shown.window, nullptr);
  DWORD best = INFINITE;
  const DWORD begun = GetTickCount();
  while (best >= kSoonerThanThePauseMs && GetTickCount() - begun < kRoundsMs) {
    int starts = svc::LockStarts(&service_);
    DWORD t0 = GetTickCount();
    ASSERT_GE(svc::Probe(), 1);  // the quiet record: once it is taken, a cycle begins with its pause
    ASSERT_TRUE(wt::WaitFor([] { return PowerBusBacklog() == 0; }, wt::kProcessMs));
    DWORD suspend[3] = {PBT_TRANSITION, POWER_STATE_SUSPEND, 0};
    ASSERT_GE(SendPowerBroadcast(suspend, sizeof(suspend)), 1);
    ASSERT_TRUE(wt::WaitFor([&] { return svc::LockStarts(&service_) > starts; }, wt::kProcessMs));
    best = std::min(best, GetTickCount() - t0);
    ASSERT_TRUE(svc::WaitLastStartedEnded(&service_, wt::kProcessMs));
    ASSERT_TRUE(svc::SetNamed(kActivateEventName));  // re-arms
    ASSERT_TRUE(wt::WaitFor([] { return !wt::EventSignalled(kActivateEventName); }, wt::kProcessMs));
  }
  EXPECT_LT(best, kSoonerThanThePauseMs);
  wt::ReleaseStandInLock(&shown);
}

// ------------------------------------------------------------------- keys

TEST_F(FailClosed, RemovedKeyboardHookIsInstalledAgain) {
  wt::SetSetting(L"TimeOut", 1);
  Peer();
  lock_ = lt::StartLock();
  ASSERT_NE(lock_.window, nullptr);
  ASSERT_TRUE(HoldsKeys(GetProcessId(lock_.process)));
  // The lock screen puts in a fresh hook and drops the old one on its own
  // now and then (each key, a refresh period without the focus). A removal
  // counts only when the lock screen still holds the removed hook
  // afterwards; one that crossed such a change is made again on the hook
  // the lock screen holds now.
  HHOOK hook = nullptr;
  bool removed = false, held = false;
  DWORD error = 0;
  ASSERT_TRUE(wt::WaitFor(
      [&] {
        hook = reinterpret_cast<HHOOK>(lt::Probe(lock_.window, kProbeHook));
        removed = UnhookWindowsHookEx(hook) != FALSE;
        error = GetLastError();
        held = lt::Probe(lock_.window, kProbeHook) == reinterpret_cast<LONG_PTR>(hook);
        return held;  // removed, or the hook it holds cannot be removed from here
      },
      wt::kStepMs));
  ASSERT_TRUE(removed) << "the hook could not be removed from here: " << error;
  // At the latest at the end of the next one-second refresh period.
  ASSERT_TRUE(wt::WaitFor(
      [&] {
        LONG_PTR now = lt::Probe(lock_.window, kProbeHook);
        return now > 0 && now != reinterpret_cast<LONG_PTR>(hook);
      },
      wt::kStepMs));
  ExpectKeysHeldThenUnlock(lock_.window, lock_.process);
}

// The system refuses the hook at first: GXOpenInput reports it (the keys
// are not recorded as held), the lock screen shows all the same and tries
// again until the hook is in.
TEST_F(FailClosed, RefusedKeyboardHookStillLocksAndIsTriedAgain) {
  wt::SetSetting(L"TimeOut", 1);
  ASSERT_TRUE(DeviceMarkTool() && DeviceWriteDword(L"HookRefusals", 3));  // as the device tool
  Peer();
  lock_ = lt::StartLock();
  ASSERT_NE(lock_.window, nullptr);
  ASSERT_TRUE(lt::WaitProbe(lock_.window, kProbeHookInstalls, 1, wt::kStepMs));
  DWORD left = 9;
  EXPECT_TRUE(DeviceReadDword(L"HookRefusals", &left));
  EXPECT_EQ(left, 0u);
  ASSERT_TRUE(HoldsKeys(GetProcessId(lock_.process)));
  ExpectKeysHeldThenUnlock(lock_.window, lock_.process);
}

// A stored Shift, Ctrl or Alt without a side never arrives as such: the
// keys come side-specific. It must still unlock.
TEST_F(FailClosed, SidelessStoredModifierUnlocks) {
  const struct {
    DWORD stored;
    WORD key;
  } rows[] = {{0x10, VK_SHIFT}, {0x11, VK_CONTROL}, {0x12, VK_MENU}};
  for (const auto& r : rows) {
    wt::SetSetting(L"Button_1", r.stored);
    lt::Lock lock = lt::StartLock();
    ASSERT_NE(lock.window, nullptr);
    ASSERT_TRUE(HoldsKeys(GetProcessId(lock.process)));
    wt::Key(r.key, false);
    wt::Key(kB2, false);
    EXPECT_EQ(wt::WaitExit(lock.process, wt::kProcessMs), 0) << "stored " << r.stored;
    wt::Key(kB2, true);
    wt::Key(r.key, true);
    lt::CloseLock(lock);
  }
}

// Tollwick captured Alt from a window message (0x12) and saved it.
TEST_F(FailClosed, SidelessAltSavedByTollwickUnlocks) {
  wt::SetSetting(L"AutoRun", 0);  // Tollwick starts no service on its way out
  wt::Tollwick t = wt::StartTollwick();
  ASSERT_NE(t.window, nullptr);
  SendMessageW(t.window, WM_COMMAND, MAKEWPARAM(0x8801, BN_CLICKED),
               reinterpret_cast<LPARAM>(wt::ControlOf(t.window, 0x8801)));
  SendMessageW(t.window, WM_SYSKEYDOWN, VK_MENU, 1 | (1 << 29));
  EXPECT_EQ(wt::TextOf(wt::ControlOf(t.window, 0x8801)), L"0x012");
  ASSERT_EQ(wt::CloseTollwick(t, 113), 0);
  wt::CloseHandles(t);
  wt::EndJob();
  DWORD saved = 0;
  ASSERT_TRUE(wt::GetSetting(L"Button_1", &saved));
  ASSERT_EQ(saved, 0x12u);
  lock_ = lt::StartLock();
  ASSERT_NE(lock_.window, nullptr);
  ASSERT_TRUE(HoldsKeys(GetProcessId(lock_.process)));
  wt::Key(VK_MENU, false);
  wt::Key(kB2, false);
  EXPECT_EQ(wt::WaitExit(lock_.process, wt::kProcessMs), 0);
  wt::Key(kB2, true);
  wt::Key(VK_MENU, true);
}

// ----------------------------------------------------------------- refresh

TEST_F(FailClosed, EndEventFoundSetAtStartIsResetBeforeTheWorkers) {
  ASSERT_NE(wt::HeldEndEvent(), nullptr);
  SetEvent(wt::HeldEndEvent());
  lock_ = lt::StartLock();
  ASSERT_NE(lock_.window, nullptr);
  LONG_PTR ticks = lt::Probe(lock_.window, kProbeTicks);
  EXPECT_TRUE(lt::WaitProbe(lock_.window, kProbeTicks, ticks + 3, wt::kStepMs));
  EXPECT_EQ(lt::Probe(lock_.window, kProbeWorkers), 7);
}

}  // namespace
