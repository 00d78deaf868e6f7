// Game input across real processes: while a helper holds input, keys go to
// its window as WM_KEYDOWN/WM_KEYUP of the hook's code and not to the window
// in front in another process; pass-through keys flow; closing input or
// ending the process gives the keys back; the foreground-only mode never
// blocks other programs and leaves edit fields their typing.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gameinput.h"
#include "platform/power.h"
#include "tests/wine/support/platform_support.h"
#include "tests/wine/support/support.h"

namespace {

const wchar_t kGx[] = L"PlatformGx";
const DWORD kDown = 0, kUp = 1 << 8, kSysDown = 2 << 8;

class PlatformGameInput : public wt::SuiteTest {
 protected:
  void SetUp() override {
    wt::SuiteTest::SetUp();
    pt::ClearTest(kGx);
  }
  void TearDown() override {
    pt::EndHelper(helper);
    pt::EndHelper(hotkey);
    pt::CloseSink();
    pt::ClearTest(kGx);
    wt::SuiteTest::TearDown();
  }

  void StartHolder(int mode) {
    wchar_t args[64];
    swprintf(args, 64, L"--helper gxhold %ls %d", kGx, mode);
    helper = wt::StartSelf(args);
    ASSERT_NE(helper, nullptr);
    ASSERT_TRUE(pt::WaitReady(kGx, wt::kProcessMs));
  }

  static bool HelperHas(DWORD entry, DWORD timeoutMs) {
    return pt::Wait(
        [](void* e) {
          std::vector<DWORD> keys = pt::HelperKeys(kGx);
          return std::find(keys.begin(), keys.end(), *static_cast<DWORD*>(e)) != keys.end();
        },
        &entry, timeoutMs);
  }

  // Runs a helper command and waits until it is carried out.
  void Command(const wchar_t* command) {
    DWORD before = 0;
    pt::ReadValue(kGx, L"Done", &before);
    pt::HelperCommand(kGx, command);
    ASSERT_TRUE(wt::WaitFor(
        [&] {
          DWORD now = 0;
          return pt::ReadValue(kGx, L"Done", &now) && now > before;
        },
        wt::kStepMs));
  }

  // Counts the sink's entries for a key (any kind).
  static size_t SinkCount(pt::Sink* sink, WORD vk) {
    pt::Pump();
    return static_cast<size_t>(
        std::count_if(sink->keys.begin(), sink->keys.end(), [vk](DWORD e) { return (e & 0xFF) == vk; }));
  }

  HANDLE helper = nullptr;
  HANDLE hotkey = nullptr;
};

TEST_F(PlatformGameInput, HeldInputTakesKeysFromTheWindowInFront) {
  StartHolder(GAMEINPUT_EXCLUSIVE);
  pt::Sink* sink = pt::OpenSink();
  ASSERT_NE(sink, nullptr);
  ASSERT_EQ(sink->window, GetForegroundWindow());
  wt::Key('K', false);
  wt::Key('K', true);
  ASSERT_TRUE(HelperHas('K' | kDown, wt::kStepMs));
  ASSERT_TRUE(HelperHas('K' | kUp, wt::kStepMs));
  // Taken by the hook before any queue saw it: the sink has nothing.
  EXPECT_EQ(0u, SinkCount(sink, 'K'));
}

TEST_F(PlatformGameInput, AltArrivesAsTheHooksLeftAltCode) {
  StartHolder(GAMEINPUT_EXCLUSIVE);
  pt::Sink* sink = pt::OpenSink();
  ASSERT_NE(sink, nullptr);
  wt::Key(VK_MENU, false);
  wt::Key(VK_MENU, true);
  EXPECT_TRUE(HelperHas(VK_LMENU | kDown, wt::kStepMs));  // 0xA4, as a plain key-down
  EXPECT_TRUE(HelperHas(VK_LMENU | kUp, wt::kStepMs));
  std::vector<DWORD> keys = pt::HelperKeys(kGx);
  EXPECT_EQ(keys.end(), std::find(keys.begin(), keys.end(), VK_MENU | kSysDown));
  EXPECT_EQ(0u, SinkCount(sink, VK_MENU) + SinkCount(sink, VK_LMENU));
}

TEST_F(PlatformGameInput, SystemKeysAreTakenToo) {
  StartHolder(GAMEINPUT_EXCLUSIVE);
  pt::Sink* sink = pt::OpenSink();
  ASSERT_NE(sink, nullptr);
  const WORD keys[] = {VK_F10, VK_F4, VK_TAB, VK_ESCAPE, VK_LWIN, VK_CONTROL};
  for (WORD vk : keys) {
    wt::Key(vk, false);
    wt::Key(vk, true);
  }
  // The last key's up arriving means every earlier key was decided.
  ASSERT_TRUE(HelperHas(VK_LCONTROL | kUp, wt::kStepMs));
  EXPECT_TRUE(HelperHas(VK_F10 | kDown, 0));
  EXPECT_TRUE(HelperHas(VK_LWIN | kDown, 0));
  EXPECT_TRUE(pt::Wait([](void*) { return true; }, nullptr, 0));
  EXPECT_TRUE(sink->keys.empty()) << sink->keys.size() << " keys leaked, first " << std::hex << sink->keys[0];
}

TEST_F(PlatformGameInput, PassThroughKeysFlow) {
  StartHolder(GAMEINPUT_EXCLUSIVE);
  pt::Sink* sink = pt::OpenSink();
  ASSERT_NE(sink, nullptr);
  wt::Key(VK_F3, false, GAMEINPUT_PASSTHROUGH_EXTRA);
  wt::Key(VK_F3, true, GAMEINPUT_PASSTHROUGH_EXTRA);
  EXPECT_TRUE(pt::SinkHas(VK_F3 | kDown, wt::kStepMs));
  EXPECT_TRUE(pt::SinkHas(VK_F3 | kUp, wt::kStepMs));
  // A key without the marker is still taken.
  wt::Key(VK_F3, false);
  EXPECT_TRUE(HelperHas(VK_F3 | kDown, wt::kStepMs));
  std::vector<DWORD> keys = pt::HelperKeys(kGx);
  EXPECT_EQ(1, std::count(keys.begin(), keys.end(), VK_F3 | kDown));
  wt::Key(VK_F3, true);
}

TEST_F(PlatformGameInput, PassedThroughKeyReachesTheHotKeyOwnerOnce) {
  // The phone application's stand-in owns F3 as a hot key.
  hotkey = wt::Start(L"ovdevice.exe", L"hotkey 72 60");
  ASSERT_NE(hotkey, nullptr);
  ASSERT_TRUE(wt::WaitFor(
      [] {
        DWORD hits = 1;
        DWORD size = sizeof(hits);
        return RegGetValueW(HKEY_CURRENT_USER, L"Software\\Ombrevale\\Device", L"HotkeyHits", RRF_RT_REG_DWORD, nullptr,
                            &hits, &size) == ERROR_SUCCESS &&
               hits == 0;
      },
      wt::kProcessMs));
  StartHolder(GAMEINPUT_EXCLUSIVE);
  auto hits = [] {
    DWORD n = 0, size = sizeof(n);
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Ombrevale\\Device", L"HotkeyHits", RRF_RT_REG_DWORD, nullptr, &n,
                 &size);
    return n;
  };
  // Taken: the hot key does not fire.
  wt::Key(VK_F3, false);
  wt::Key(VK_F3, true);
  ASSERT_TRUE(HelperHas(VK_F3 | kUp, wt::kStepMs));
  EXPECT_EQ(0u, hits());
  // Passed through: it fires once.
  wt::Key(VK_F3, false, GAMEINPUT_PASSTHROUGH_EXTRA);
  wt::Key(VK_F3, true, GAMEINPUT_PASSTHROUGH_EXTRA);
  EXPECT_TRUE(wt::WaitFor([&] { return hits() >= 1; }, wt::kStepMs));
  // A later taken key proves nothing more arrived in between.
  wt::Key('Q', false);
  ASSERT_TRUE(HelperHas('Q' | kDown, wt::kStepMs));
  wt::Key('Q', true);
  EXPECT_EQ(1u, hits());
  std::vector<DWORD> keys = pt::HelperKeys(kGx);
  EXPECT_EQ(1, std::count(keys.begin(), keys.end(), VK_F3 | kDown));
}

TEST_F(PlatformGameInput, TakenKeysNeverLookLikePassThroughKeys) {
  // The target sees a passed-through key itself (no hot key owns it), then
  // a taken one: the taken key must not inherit the mark the window thread
  // saw last, or the lock screen would ignore its unlock buttons.
  StartHolder(GAMEINPUT_EXCLUSIVE);
  Command(L"front");
  const DWORD marked = 0x20000;
  wt::Key(VK_F4, false, GAMEINPUT_PASSTHROUGH_EXTRA);
  ASSERT_TRUE(HelperHas((VK_F4 | kDown) | marked, wt::kStepMs));
  wt::Key('M', false);
  ASSERT_TRUE(wt::WaitFor(
      [] {
        std::vector<DWORD> keys = pt::HelperKeys(kGx);
        return std::any_of(keys.begin(), keys.end(), [](DWORD e) { return (e & 0xFFFF) == ('M' | kDown); });
      },
      wt::kStepMs));
  EXPECT_TRUE(HelperHas('M' | kDown, 0)) << "the taken key carried the pass-through mark";
  wt::Key('M', true);
  wt::Key(VK_F4, true, GAMEINPUT_PASSTHROUGH_EXTRA);
}

TEST_F(PlatformGameInput, AltF4NeverReachesAHotKeyOwner) {
  // A peer owns Alt+F4 as a hot key (modifier MOD_ALT = 1).
  hotkey = wt::Start(L"ovdevice.exe", L"hotkey 73 60 1");
  ASSERT_NE(hotkey, nullptr);
  auto hits = [] {
    DWORD n = 0xFFFF, size = sizeof(n);
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Ombrevale\\Device", L"HotkeyHits", RRF_RT_REG_DWORD, nullptr, &n,
                 &size);
    return n;
  };
  ASSERT_TRUE(wt::WaitFor([&] { return hits() == 0; }, wt::kProcessMs));
  auto altF4 = [] {
    wt::Key(VK_MENU, false);
    wt::Key(VK_F4, false);
    wt::Key(VK_F4, true);
    wt::Key(VK_MENU, true);
  };
  // Without game input the peer sees it: the check below can fail.
  pt::Sink* sink = pt::OpenSink();
  ASSERT_NE(sink, nullptr);
  ASSERT_TRUE(wt::WaitFor([&] { return GetForegroundWindow() == sink->window; }, wt::kStepMs));
  altF4();
  ASSERT_TRUE(wt::WaitFor([&] { return hits() == 1; }, wt::kStepMs));
  StartHolder(GAMEINPUT_EXCLUSIVE);
  altF4();
  ASSERT_TRUE(HelperHas(VK_LMENU | kUp, wt::kStepMs));
  EXPECT_TRUE(HelperHas(VK_F4 | kDown, 0));
  EXPECT_EQ(1u, hits());
}

TEST_F(PlatformGameInput, ClosedInputGivesTheKeysBack) {
  StartHolder(GAMEINPUT_EXCLUSIVE);
  pt::Sink* sink = pt::OpenSink();
  ASSERT_NE(sink, nullptr);
  Command(L"close");
  Command(L"close");  // idempotent
  wt::Key('B', false);
  wt::Key('B', true);
  EXPECT_TRUE(pt::SinkHas('B' | kDown, wt::kStepMs));
  Command(L"open");
  Command(L"open");
  wt::Key('C', false);
  wt::Key('C', true);
  EXPECT_TRUE(HelperHas('C' | kUp, wt::kStepMs));
  EXPECT_EQ(0u, SinkCount(sink, 'C'));
  std::vector<DWORD> keys = pt::HelperKeys(kGx);
  EXPECT_EQ(1, std::count(keys.begin(), keys.end(), 'C' | kDown));  // once, not once per open
}

TEST_F(PlatformGameInput, TheHolderIsRecordedWhileInputIsOpen) {
  StartHolder(GAMEINPUT_EXCLUSIVE);
  auto owner = [] {
    DWORD pid = 0, size = sizeof(pid);
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Ombrevale\\Device", L"GameInputOwner", RRF_RT_REG_DWORD, nullptr, &pid,
                 &size);
    return pid;
  };
  EXPECT_EQ(GetProcessId(helper), owner());  // set before the helper said it was ready
  Command(L"close");
  EXPECT_EQ(0u, owner());
  Command(L"open");
  EXPECT_EQ(GetProcessId(helper), owner());
}

TEST_F(PlatformGameInput, KeysFlowAgainWhenTheHolderEnds) {
  StartHolder(GAMEINPUT_EXCLUSIVE);
  pt::Sink* sink = pt::OpenSink();
  ASSERT_NE(sink, nullptr);
  wt::Key('D', false);
  wt::Key('D', true);
  ASSERT_TRUE(HelperHas('D' | kUp, wt::kStepMs));
  pt::EndHelper(helper);
  SetForegroundWindow(sink->window);
  SetFocus(sink->window);
  wt::Key('E', false);
  wt::Key('E', true);
  EXPECT_TRUE(pt::SinkHas('E' | kDown, wt::kStepMs));
  EXPECT_EQ(0u, SinkCount(sink, 'D'));
}

TEST_F(PlatformGameInput, ForegroundOnlyNeverBlocksOtherPrograms) {
  StartHolder(GAMEINPUT_FOREGROUND_ONLY);
  pt::Sink* sink = pt::OpenSink();
  ASSERT_NE(sink, nullptr);
  ASSERT_EQ(sink->window, GetForegroundWindow());
  wt::Key('F', false);
  wt::Key('F', true);
  EXPECT_TRUE(pt::SinkHas('F' | kDown, wt::kStepMs));
  EXPECT_TRUE(pt::SinkHas('F' | kUp, wt::kStepMs));
  EXPECT_TRUE(pt::HelperKeys(kGx).empty());
}

TEST_F(PlatformGameInput, ForegroundOnlyRoutesToTheTargetInFront) {
  StartHolder(GAMEINPUT_FOREGROUND_ONLY);
  Command(L"front");
  wt::Key(VK_MENU, false);
  wt::Key(VK_MENU, true);
  // Through the hook: the left Alt code as a plain key-down, not the
  // window's own WM_SYSKEYDOWN of VK_MENU.
  EXPECT_TRUE(HelperHas(VK_LMENU | kDown, wt::kStepMs));
  std::vector<DWORD> keys = pt::HelperKeys(kGx);
  EXPECT_EQ(keys.end(), std::find(keys.begin(), keys.end(), VK_MENU | kSysDown));
}

TEST_F(PlatformGameInput, ForegroundOnlyLeavesTheEditFieldItsTyping) {
  StartHolder(GAMEINPUT_FOREGROUND_ONLY);
  Command(L"front");
  Command(L"edit");
  wt::Key('G', false);
  wt::Key('G', true);
  const DWORD inEdit = 0x10000;
  EXPECT_TRUE(HelperHas(('G' | kDown) | inEdit, wt::kStepMs));
  std::vector<DWORD> keys = pt::HelperKeys(kGx);
  EXPECT_EQ(keys.end(), std::find(keys.begin(), keys.end(), 'G' | kDown));
}

TEST_F(PlatformGameInput, AKeyTurnsADarkDisplayOn) {
  StartHolder(GAMEINPUT_EXCLUSIVE);
  ASSERT_EQ(0, wt::Device(L"display off"));
  ASSERT_EQ(1, wt::Device(L"display"));
  wt::Key('H', false);
  wt::Key('H', true);
  ASSERT_TRUE(HelperHas('H' | kUp, wt::kStepMs));
  EXPECT_EQ(0, wt::Device(L"display"));
}

}  // namespace
