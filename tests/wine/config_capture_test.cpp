// Capturing hardware buttons in the configuration window through real key
// input (SendInput, seen by the game-input hook like a hardware key).
#include <gtest/gtest.h>

#include "tests/wine/support/config_support.h"
#include "tests/wine/support/support.h"

namespace {

class ConfigCapture : public wt::SuiteTest {
 protected:
  void TearDown() override {
    wt::CloseHandles(t_);
    wt::EndJob();
    wt::SuiteTest::TearDown();
  }
  void Start() {
    t_ = wt::StartTollwick();
    ASSERT_NE(t_.process, nullptr);
    ASSERT_NE(t_.window, nullptr);
    ASSERT_TRUE(wt::WaitFor([&] { return GetForegroundWindow() == t_.window; }, wt::kStepMs));
  }
  HWND C(int id) { return wt::ControlOf(t_.window, id); }
  // Waits for a capture button to show `text`.
  bool Shows(int id, const wchar_t* text) {
    return wt::WaitFor([&] { return wt::TextOf(C(id)) == text; }, wt::kStepMs);
  }
  DWORD Saved(const wchar_t* name) {
    DWORD v = 0xDEAD;
    wt::GetSetting(name, &v);
    return v;
  }
  wt::Tollwick t_;
};

// An F-key, a letter and Alt, each captured as its key-down code: the
// letter is 0x41, not the 0x61 of its character message, and Alt is the
// hook's left-Alt code 0xA4. "Ok" saves them.
TEST_F(ConfigCapture, FKeyLetterAndAltAreCapturedAsKeyDownCodes) {
  Start();
  wt::Click(C(0x8801));
  wt::Tap(VK_F5);
  EXPECT_TRUE(Shows(0x8801, L"0x074"));
  wt::Click(C(0x8802));
  wt::Tap('A');
  EXPECT_TRUE(Shows(0x8802, L"0x041"));
  wt::Click(C(0x8803));
  wt::Tap(VK_MENU);
  EXPECT_TRUE(Shows(0x8803, L"0x0a4"));
  EXPECT_EQ(wt::TextOf(C(0x8801)), L"0x074");  // the earlier slots keep their codes
  EXPECT_EQ(wt::TextOf(C(0x8802)), L"0x041");
  EXPECT_EQ(wt::CloseTollwick(t_, 113), 0);
  EXPECT_EQ(Saved(L"Button_1"), 0x74u);
  EXPECT_EQ(Saved(L"Button_2"), 0x41u);
  EXPECT_EQ(Saved(L"Ignore_1"), 0xA4u);
  EXPECT_EQ(Saved(L"Ignore_2"), 0u);
}

// A key equal to an ignore code is skipped; keys arrive in order, so once
// the next slot shows its key the skipped one has been handled.
TEST_F(ConfigCapture, IgnoreCodeIsSkipped) {
  wt::SetSetting(L"Ignore_1", VK_F6);
  Start();
  wt::Click(C(0x8801));
  wt::Tap(VK_F6);
  wt::Click(C(0x8802));
  wt::Tap(VK_F8);
  EXPECT_TRUE(Shows(0x8802, L"0x077"));
  EXPECT_EQ(wt::TextOf(C(0x8801)), L"Button1");
  EXPECT_EQ(wt::CloseTollwick(t_, 113), 0);
  EXPECT_EQ(Saved(L"Button_1"), 0u);
  EXPECT_EQ(Saved(L"Button_2"), 0x77u);
  EXPECT_EQ(Saved(L"Ignore_1"), 0x75u);
}

// Tapping an armed button again clears it; "Ok" saves the 0.
TEST_F(ConfigCapture, TappingAnArmedButtonTwiceClearsIt) {
  wt::SetSetting(L"Button_1", 0x74);
  Start();
  EXPECT_EQ(wt::TextOf(C(0x8801)), L"0x074");
  wt::Click(C(0x8801));
  EXPECT_EQ(wt::TextOf(C(0x8801)), L"0x074");  // the first tap only arms
  wt::Click(C(0x8801));
  EXPECT_EQ(wt::TextOf(C(0x8801)), L"Button1");
  EXPECT_EQ(wt::CloseTollwick(t_, 113), 0);
  EXPECT_EQ(Saved(L"Button_1"), 0u);
}

// With nothing armed a key changes nothing.
TEST_F(ConfigCapture, NoSlotArmedCapturesNothing) {
  Start();
  wt::Tap(VK_F5);
  wt::Click(C(0x8804));
  wt::Tap(VK_F9);
  EXPECT_TRUE(Shows(0x8804, L"0x078"));
  EXPECT_EQ(wt::TextOf(C(0x8801)), L"Button1");
  EXPECT_EQ(wt::TextOf(C(0x8802)), L"Button2");
  EXPECT_EQ(wt::TextOf(C(0x8803)), L"Ignore1");
}

// After the number field takes the focus, typing goes to the field and is
// not captured, although the slot stays armed.
TEST_F(ConfigCapture, NumberFieldKeepsItsTyping) {
  Start();
  wt::Click(C(0x8801));
  HWND field = C(0x8808);
  SendMessageW(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(field, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  SendMessageW(field, EM_SETSEL, 0, -1);
  wt::Tap('4');
  wt::Tap('2');
  EXPECT_TRUE(wt::WaitFor([&] { return wt::TextOf(field) == L"42"; }, wt::kStepMs)) << wt::TextOf(field).c_str();
  EXPECT_EQ(wt::TextOf(C(0x8801)), L"Button1");
  EXPECT_EQ(wt::CloseTollwick(t_, 113), 0);
  EXPECT_EQ(Saved(L"TimeOut"), 42u);
  EXPECT_EQ(Saved(L"Button_1"), 0u);
}

// Deactivating the window disarms: after coming back a key is not captured.
TEST_F(ConfigCapture, DeactivationDisarms) {
  Start();
  wt::Click(C(0x8801));
  HWND other = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(wt::WaitFor([&] { return GetForegroundWindow() == other; }, wt::kStepMs));
  DestroyWindow(other);
  SetForegroundWindow(t_.window);
  ASSERT_TRUE(wt::WaitFor([&] { return GetForegroundWindow() == t_.window; }, wt::kStepMs));
  wt::Tap(VK_F5);
  wt::Click(C(0x8802));
  wt::Tap(VK_F6);
  EXPECT_TRUE(Shows(0x8802, L"0x075"));
  EXPECT_EQ(wt::TextOf(C(0x8801)), L"Button1");
}

// The window procedure itself, with messages sent straight to it: key-downs
// and system key-downs capture; a character, a system character and a
// system command are consumed without capturing (none reaches default
// processing, so SC_KEYMENU opens no menu; SC_CLOSE is "Cancel", below).
TEST_F(ConfigCapture, OnlyKeyDownMessagesCaptureAndNoneReachesDefaultProcessing) {
  Start();
  HWND b1 = C(0x8801);
  SendMessageW(t_.window, WM_COMMAND, MAKEWPARAM(0x8801, BN_CLICKED), reinterpret_cast<LPARAM>(b1));
  EXPECT_EQ(SendMessageW(t_.window, WM_KEYDOWN, 0xC1, 1), 0);
  EXPECT_EQ(wt::TextOf(b1), L"0x0c1");
  EXPECT_EQ(SendMessageW(t_.window, WM_CHAR, 0x61, 1), 0);
  EXPECT_EQ(wt::TextOf(b1), L"0x0c1");
  EXPECT_EQ(SendMessageW(t_.window, WM_SYSCHAR, 0x62, 1), 0);
  EXPECT_EQ(wt::TextOf(b1), L"0x0c1");
  EXPECT_EQ(SendMessageW(t_.window, WM_SYSKEYDOWN, 0x12, 1 | (1 << 29)), 0);
  EXPECT_EQ(wt::TextOf(b1), L"0x012");
  EXPECT_EQ(SendMessageW(t_.window, WM_SYSCOMMAND, SC_KEYMENU, 0), 0);
  EXPECT_TRUE(IsWindow(t_.window));
  EXPECT_EQ(wt::TextOf(b1), L"0x012");
  // The sign-extended low 16 bits of wParam.
  EXPECT_EQ(SendMessageW(t_.window, WM_KEYDOWN, 0x1F060, 1), 0);
  EXPECT_EQ(wt::TextOf(b1), L"0xfffff060");
  EXPECT_EQ(wt::CloseTollwick(t_, 113), 0);
  DWORD v = 0;
  EXPECT_TRUE(wt::GetSetting(L"Button_1", &v));
  EXPECT_EQ(static_cast<int32_t>(v), -4000);
}

}  // namespace
