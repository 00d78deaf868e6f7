// No key pressed while Corvane shows reaches the window that was in front
// before, nor another program's hot keys; keys flow again after the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/support.h"

namespace {

class LockKeys : public wt::SuiteTest {};

// Every virtual-key code 0x01-0xFE is blocked. Keys that a program cannot
// take from the system on Windows (Ctrl+Alt+Del, the Sleep key's power
// action) are not sent: SendInput cannot produce them. Under Wine the
// low-level hook sees every injected key, so no code needs an exception.
const std::vector<int> kNotBlockable = {};

TEST_F(LockKeys, NoKeyReachesTheWindowInFrontOrAHotKey) {
  wt::SetSetting(L"Button_1", VK_F1);
  wt::SetSetting(L"Button_2", 'K');
  lt::Peer* peer = lt::StartPeer();
  struct HotKey {
    UINT modifiers, vk;
  } hotKeys[] = {
      {0, 'A'},       {0, VK_F5},          {MOD_ALT, VK_F4}, {0, VK_F10}, {MOD_ALT, VK_TAB}, {MOD_CONTROL, VK_ESCAPE},
      {MOD_WIN, 'R'}, {MOD_ALT, VK_SPACE},
  };
  int id = 1;
  for (const HotKey& h : hotKeys) EXPECT_TRUE(lt::PeerHotKey(peer, id++, h.modifiers, h.vk)) << h.vk;
  ASSERT_TRUE(lt::PeerToFront(peer));
  // The peer really gets keys and hot keys before the lock.
  wt::Tap('B');
  ASSERT_TRUE(wt::WaitFor([&] { return lt::PeerKeyDowns(peer, 'B') == 1; }, wt::kStepMs));
  wt::Tap(VK_F5);
  ASSERT_TRUE(wt::WaitFor([&] { return lt::PeerHotKeys(peer) == 1; }, wt::kStepMs));

  lt::Lock lock = lt::StartLock();
  ASSERT_NE(lock.window, nullptr);
  lt::PeerClearCounts(peer);
  LONG sent = 0;
  for (int vk = 0x01; vk <= 0xFE; ++vk) {
    bool skip = false;
    for (int n : kNotBlockable) skip = skip || n == vk;
    if (skip) continue;
    wt::Tap(static_cast<WORD>(vk));
    ++sent;
  }
  // The system's own combinations.
  const WORD combos[][2] = {{VK_MENU, VK_F4}, {VK_LMENU, VK_F4}, {VK_MENU, VK_TAB},   {VK_CONTROL, VK_ESCAPE},
                            {VK_LWIN, 'R'},   {VK_RWIN, 'E'},    {VK_MENU, VK_SPACE}, {VK_LCONTROL, VK_LMENU}};
  for (const auto& c : combos) {
    wt::Key(c[0], false);
    wt::Key(c[1], false);
    wt::Key(c[1], true);
    wt::Key(c[0], true);
    sent += 2;
  }
  // Every key-down reached the lock window instead.
  EXPECT_TRUE(lt::WaitProbe(lock.window, kProbeKeyDowns, sent, wt::kProcessMs))
      << lt::Probe(lock.window, kProbeKeyDowns) << " of " << sent;
  EXPECT_EQ(WaitForSingleObject(lock.process, 0), static_cast<DWORD>(WAIT_TIMEOUT));

  // End it without keys, then a sentinel key: everything sent before it has
  // been delivered by the time the peer sees it.
  PostMessageW(lock.window, WM_CLOSE, 0, 0);
  lt::ExpectCleanEnd(lock.process, peer);
  CloseHandle(lock.process);
  EXPECT_EQ(lt::PeerHotKeys(peer), 0);
  for (int vk = 0x01; vk <= 0xFE; ++vk) {
    if (vk != VK_F9) EXPECT_EQ(lt::PeerKeyDowns(peer, static_cast<UINT>(vk)), 0) << std::hex << vk;
  }
  EXPECT_EQ(lt::PeerKeyDowns(peer, VK_F9), 1);
  EXPECT_EQ(lt::PeerAnyInput(peer), 2);  // the sentinel's down and up only
  // And hot keys fire again.
  wt::Tap(VK_F5);
  EXPECT_TRUE(wt::WaitFor([&] { return lt::PeerHotKeys(peer) == 1; }, wt::kStepMs));
  lt::StopPeer(peer);
}

TEST_F(LockKeys, KilledLockScreenFreesTheKeys) {
  wt::SetSetting(L"Button_1", VK_F1);
  lt::Peer* peer = lt::StartPeer();
  lt::Lock lock = lt::StartLock();
  ASSERT_NE(lock.window, nullptr);
  lt::CloseLock(lock);  // terminated
  ASSERT_TRUE(lt::PeerToFront(peer));
  wt::Tap('B');
  EXPECT_TRUE(wt::WaitFor([&] { return lt::PeerKeyDowns(peer, 'B') == 1; }, wt::kStepMs));
  lt::StopPeer(peer);
}

}  // namespace
