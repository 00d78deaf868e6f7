// The configuration window under Wine on the 240x320 screen: the window
// and its menu bar, every control read back with Win32 calls against the
// computed layout, the painted labels, the start states, the commands and
// the resources.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <sddl.h>

#include <algorithm>

#include "config/core/controls.h"
#include "config/core/layout.h"
#include "tests/wine/support/config_support.h"
#include "tests/wine/support/shortcut_support.h"
#include "tests/wine/support/support.h"

namespace {

class ConfigWindow : public wt::SuiteTest {
 protected:
  void SetUp() override {
    wt::SuiteTest::SetUp();
    wt::RemoveShortcuts();
  }
  void TearDown() override {
    wt::CloseHandles(t_);
    wt::EndJob();
    wt::SuiteTest::TearDown();
    wt::RemoveShortcuts();
  }
  void Start() {
    t_ = wt::StartTollwick();
    ASSERT_NE(t_.process, nullptr);
    ASSERT_NE(t_.window, nullptr);
  }
  HWND C(int id) { return wt::ControlOf(t_.window, id); }
  LRESULT Check(int id) { return SendMessageW(C(id), BM_GETCHECK, 0, 0); }
  wt::Tollwick t_;
};

// Captionless, frameless, screen-wide; shortened by the bar at the bottom.
TEST_F(ConfigWindow, ScreenWideWithoutCaptionAndShortenedByTheBar) {
  Start();
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  ASSERT_EQ(cx, 240);
  ASSERT_EQ(cy, 320);
  RECT client;
  GetClientRect(t_.window, &client);
  EXPECT_EQ(client.right - client.left, 240);
  LONG style = GetWindowLongW(t_.window, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  EXPECT_NE(style & WS_VISIBLE, 0);

  HWND bar = wt::MenuBarOf(t_.window);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(IsWindowVisible(bar));
  RECT w, b;
  GetWindowRect(t_.window, &w);
  GetWindowRect(bar, &b);
  EXPECT_EQ(b.bottom, cy);
  EXPECT_EQ(b.left, 0);
  EXPECT_EQ(b.right, cx);
  EXPECT_GT(b.bottom - b.top, 0);
  EXPECT_EQ(w.left, 0);
  EXPECT_EQ(w.top, 0);
  EXPECT_EQ(w.right, cx);
  EXPECT_EQ(w.bottom, cy - (b.bottom - b.top));  // ends where the bar begins

  // Two keys from the bar resource: "Ok" on the left, "Cancel" on the right.
  HWND ok = GetDlgItem(bar, 113), cancel = GetDlgItem(bar, 114);
  ASSERT_NE(ok, nullptr);
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(wt::TextOf(ok), L"Ok");
  EXPECT_EQ(wt::TextOf(cancel), L"Cancel");
  RECT ro, rc;
  GetWindowRect(ok, &ro);
  GetWindowRect(cancel, &rc);
  EXPECT_LT(ro.left, rc.left);
  EXPECT_EQ(wt::CloseTollwick(t_, 114), 0);
}

// The font of this prefix gives the metrics of the worked 240-pixel case
// (line height 16, character height 16, average width 7), so the window
// must show the worked case's numbers, written out here.
const RECT kWorkedControls[layout::kControlCount] = {
    {12, 49, 108, 73},    {132, 49, 228, 73}, {12, 96, 108, 120},   {132, 96, 228, 120},  {5, 126, 197, 150},
    {5, 147, 197, 171},   {5, 168, 197, 192}, {12, 208, 108, 232},  {132, 208, 228, 232}, {118, 234, 153, 253},
    {153, 234, 193, 253}, {5, 252, 197, 276}, {118, 277, 153, 296}, {153, 277, 173, 296},
};
const layout::Rect kWorkedLabels[layout::kLabelCount] = {
    {5, 30, 240, 46},     {5, 78, 240, 94},    {5, 190, 240, 206},   {5, 234, 240, 250},
    {181, 234, 240, 250}, {12, 277, 240, 298}, {181, 277, 240, 298},
};

void ExpectWorkedMetrics(const layout::Metrics& m) {
  EXPECT_EQ(m.L, 0);
  EXPECT_EQ(m.T, 0);
  EXPECT_EQ(m.R, 240);
  EXPECT_EQ(m.LH, 16);
  EXPECT_EQ(m.TH, 16);
  EXPECT_EQ(m.CW, 7);
}

// Class, text, style, identifier and rectangle of all fourteen controls,
// in creation order, at the worked case's places.
TEST_F(ConfigWindow, EveryControlAtTheWorkedPlaces) {
  wt::SetSetting(L"EnableOnAC", 1);  // so no control is disabled
  wt::SetSetting(L"AutoRun", 1);
  wt::SetSetting(L"Button_2", 0xC1);
  Start();
  ExpectWorkedMetrics(wt::MetricsOf(t_.window));
  const wchar_t* classes[] = {L"Button",          L"Button", L"Button", L"Button",         L"Button",
                              L"Button",          L"Button", L"Button", L"Button",         L"Edit",
                              L"msctls_updown32", L"Button", L"Edit",   L"msctls_updown32"};
  const wchar_t* texts[] = {L"Button1",
                            L"0x0c1",
                            L"Ignore1",
                            L"Ignore2",
                            L"Enable Double-Click unlock",
                            L"Enable AutoRun mode",
                            L"Activate on Startup",
                            L"Analog Clock",
                            L"Digital Clock",
                            L"8",
                            nullptr,
                            L"Enable on AC Power",
                            L"2",
                            nullptr};
  HWND child = GetWindow(t_.window, GW_CHILD);
  for (int i = 0; i < layout::kControlCount; ++i) {
    SCOPED_TRACE(i);
    const controls::Definition& s = controls::kDefinitions[i];
    HWND c = C(s.id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c, child);  // children in creation order
    child = GetWindow(child, GW_HWNDNEXT);
    EXPECT_EQ(_wcsicmp(wt::ClassOf(c).c_str(), classes[i]), 0) << wt::ClassOf(c).c_str();
    if (texts[i] != nullptr) {
      EXPECT_EQ(wt::TextOf(c), texts[i]);
    }
    DWORD style = static_cast<DWORD>(GetWindowLongW(c, GWL_STYLE));
    // The button control itself makes a checked radio button a tab stop.
    if (s.style == controls::kRadioButton) style &= ~static_cast<DWORD>(WS_TABSTOP);
    EXPECT_EQ(style, s.style);
    EXPECT_EQ(GetDlgCtrlID(c), s.id);
    const RECT r = wt::RectInParent(c);
    EXPECT_TRUE(EqualRect(&r, &kWorkedControls[i])) << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
  }
  EXPECT_EQ(child, nullptr);  // nothing else
  // The spins' buddies are the fields.
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(C(0x8809), UDM_GETBUDDY, 0, 0)), C(0x8808));
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(C(0x8812), UDM_GETBUDDY, 0, 0)), C(0x8811));
  // Reversed ranges: upper limit 0 (low word), lower limit 120 or 30.
  LRESULT range = SendMessageW(C(0x8809), UDM_GETRANGE, 0, 0);
  EXPECT_EQ(LOWORD(range), 0);
  EXPECT_EQ(HIWORD(range), 120);
  range = SendMessageW(C(0x8812), UDM_GETRANGE, 0, 0);
  EXPECT_EQ(LOWORD(range), 0);
  EXPECT_EQ(HIWORD(range), 30);
}

// The seven labels at the worked case's rectangles: the screen inside each
// matches the label drawn there by DrawTextW (a label one pixel off fails).
TEST_F(ConfigWindow, LabelsArePaintedAtTheirRectangles) {
  Start();
  ExpectWorkedMetrics(wt::MetricsOf(t_.window));
  const layout::Rect* want = kWorkedLabels;
  for (int i = 0; i < layout::kLabelCount; ++i) {
    SCOPED_TRACE(i);
    int ink = 0, differ = -1;
    wt::WaitFor([&] { return (differ = wt::LabelMismatches(t_.window, want, i, &ink)) == 0; }, wt::kStepMs);
    EXPECT_EQ(differ, 0);
    EXPECT_GT(ink, 20);
    // The same text one pixel lower does not match what is on the screen.
    layout::Rect lower[layout::kLabelCount];
    std::copy(want, want + layout::kLabelCount, lower);
    lower[i].top += 1;
    lower[i].bottom += 1;
    EXPECT_GT(wt::LabelMismatches(t_.window, lower, i, &ink), 0);
  }
}

// Start states from stored values, and an untouched "Ok" writing them back:
// a 500 beyond the spin range stays 500, DoubleClick 5 becomes 1, a
// Clock_Type of 3 shows digital and stays 3.
TEST_F(ConfigWindow, StartStatesAndAnUntouchedOkWritesTheStoredValues) {
  wt::SetSetting(L"TimeOut", 500);
  wt::SetSetting(L"AcActivation", 45);
  wt::SetSetting(L"DoubleClick", 5);
  wt::SetSetting(L"Clock_Type", 3);
  wt::SetSetting(L"AutoRun", 0);
  wt::SetSetting(L"ActivateAtStartup", 1);
  wt::SetSetting(L"EnableOnAC", 0);
  wt::SetSetting(L"BlueTooth", 7);
  wt::SetSetting(L"Face", 0);
  wt::SetSetting(L"Button_1", 0x74);
  wt::SetSetting(L"Ignore_2", 0xF060);
  Start();
  EXPECT_EQ(wt::TextOf(C(0x8808)), L"500");
  EXPECT_EQ(wt::TextOf(C(0x8811)), L"45");
  EXPECT_EQ(wt::TextOf(C(0x8801)), L"0x074");
  EXPECT_EQ(wt::TextOf(C(0x8804)), L"0xf060");
  EXPECT_EQ(Check(0x8815), BST_CHECKED);
  EXPECT_EQ(Check(0x8806), BST_UNCHECKED);
  EXPECT_EQ(Check(0x8807), BST_CHECKED);
  EXPECT_EQ(Check(0x8805), BST_UNCHECKED);
  EXPECT_EQ(Check(0x8814), BST_CHECKED);  // keeps its check while greyed out
  EXPECT_FALSE(IsWindowEnabled(C(0x8814)));
  EXPECT_EQ(Check(0x8810), BST_UNCHECKED);
  EXPECT_FALSE(IsWindowEnabled(C(0x8811)));
  EXPECT_FALSE(IsWindowEnabled(C(0x8812)));
  EXPECT_TRUE(IsWindowEnabled(C(0x8808)));
  EXPECT_EQ(wt::CloseTollwick(t_, 113), 0);
  struct Want {
    const wchar_t* name;
    DWORD value;
  } wants[] = {{L"TimeOut", 500},    {L"AcActivation", 45},     {L"DoubleClick", 1}, {L"Clock_Type", 3},
               {L"AutoRun", 0},      {L"ActivateAtStartup", 1}, {L"EnableOnAC", 0},  {L"BlueTooth", 1},
               {L"Face", 0},         {L"Button_1", 0x74},       {L"Button_2", 0},    {L"Ignore_1", 0},
               {L"Ignore_2", 0xF060}};
  for (const Want& w : wants) {
    DWORD v = 12345;
    EXPECT_TRUE(wt::GetSetting(w.name, &v)) << w.name;
    EXPECT_EQ(v, w.value) << w.name;
  }
}

// "Ok" on a missing key creates it with exactly the thirteen values, each a
// REG_DWORD of 4 bytes, and nothing else.
TEST_F(ConfigWindow, OkWritesExactlyTheThirteenValues) {
  ASSERT_FALSE(wt::SettingsKeyExists());
  Start();
  EXPECT_EQ(wt::CloseTollwick(t_, 113), 0);
  std::vector<std::wstring> names = wt::SettingNames();
  const wchar_t* expected[] = {
      L"TimeOut",    L"AcActivation", L"AutoRun",  L"ActivateAtStartup", L"DoubleClick", L"EnableOnAC", L"BlueTooth",
      L"Clock_Type", L"Face",         L"Button_1", L"Button_2",          L"Ignore_1",    L"Ignore_2"};
  EXPECT_EQ(names.size(), 13u);
  const DWORD values[] = {8, 2, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0};
  for (size_t i = 0; i < 13; ++i) {
    DWORD v = 999, type = 0, size = 0;
    ASSERT_TRUE(wt::GetSetting(expected[i], &v, &type, &size)) << expected[i];
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << expected[i];
    EXPECT_EQ(size, 4u) << expected[i];
    EXPECT_EQ(v, values[i]) << expected[i];
    EXPECT_NE(std::find(names.begin(), names.end(), std::wstring(expected[i])), names.end()) << expected[i];
  }
}

// The commands: a click toggles a check box; AutoRun enables "Activate on
// Startup" with its old check; the AC box twice leaves the activation time
// disabled; the radio buttons set Clock_Type; the number fields are read on
// "Ok" without a range check.
TEST_F(ConfigWindow, CommandsEditTheRecord) {
  wt::SetSetting(L"ActivateAtStartup", 1);
  Start();
  wt::Click(C(0x8805));
  EXPECT_EQ(Check(0x8805), BST_CHECKED);
  EXPECT_TRUE(IsWindowEnabled(C(0x8814)));
  EXPECT_EQ(Check(0x8814), BST_CHECKED);
  wt::Click(C(0x8814));
  EXPECT_EQ(Check(0x8814), BST_UNCHECKED);
  wt::Click(C(0x8810));
  EXPECT_TRUE(IsWindowEnabled(C(0x8811)));
  EXPECT_TRUE(IsWindowEnabled(C(0x8812)));
  wt::Click(C(0x8810));
  EXPECT_FALSE(IsWindowEnabled(C(0x8811)));
  EXPECT_FALSE(IsWindowEnabled(C(0x8812)));
  wt::Click(C(0x8815));
  wt::Click(C(0x8807));
  EXPECT_EQ(Check(0x8807), BST_CHECKED);
  EXPECT_EQ(Check(0x8806), BST_UNCHECKED);
  // Other notification codes do nothing to a check box.
  PostMessageW(t_.window, WM_COMMAND, MAKEWPARAM(0x8815, 1), reinterpret_cast<LPARAM>(C(0x8815)));
  SetWindowTextW(C(0x8808), L"12345678");
  SetWindowTextW(C(0x8811), L"  -3x");
  EXPECT_EQ(wt::CloseTollwick(t_, 113), 0);
  DWORD v = 0;
  EXPECT_TRUE(wt::GetSetting(L"AutoRun", &v));
  EXPECT_EQ(v, 1u);
  EXPECT_TRUE(wt::GetSetting(L"ActivateAtStartup", &v));
  EXPECT_EQ(v, 0u);
  EXPECT_TRUE(wt::GetSetting(L"EnableOnAC", &v));
  EXPECT_EQ(v, 0u);
  EXPECT_TRUE(wt::GetSetting(L"DoubleClick", &v));
  EXPECT_EQ(v, 1u);
  EXPECT_TRUE(wt::GetSetting(L"Clock_Type", &v));
  EXPECT_EQ(v, 2u);
  EXPECT_TRUE(wt::GetSetting(L"TimeOut", &v));
  EXPECT_EQ(v, 1234567u);  // the first seven characters
  EXPECT_TRUE(wt::GetSetting(L"AcActivation", &v));
  EXPECT_EQ(static_cast<int32_t>(v), -3);
}

// Closing when the bar cannot be reached: the close command (a taskbar's
// "Close window") and Escape are "Cancel": the program ends with 0 and
// the ticked box is not saved. An armed button captures Escape instead.
TEST_F(ConfigWindow, CloseCommandAndEscapeAreCancel) {
  const struct {
    const char* how;
    bool escapeKey;
  } ways[] = {{"SC_CLOSE", false}, {"Escape", true}};
  for (const auto& way : ways) {
    SCOPED_TRACE(way.how);
    Start();
    wt::Click(C(0x8815));
    ASSERT_EQ(Check(0x8815), BST_CHECKED);
    if (way.escapeKey) {
      wt::Click(C(0x8801));
      SetForegroundWindow(t_.window);
      ASSERT_TRUE(wt::WaitFor([&] { return GetForegroundWindow() == t_.window; }, wt::kStepMs));
      wt::Tap(VK_ESCAPE);
      EXPECT_TRUE(wt::WaitFor([&] { return wt::TextOf(C(0x8801)) == L"0x01b"; }, wt::kStepMs));
      EXPECT_TRUE(IsWindow(t_.window));
      SendMessageW(t_.window, WM_ACTIVATE, WA_INACTIVE, 0);  // disarmed
      wt::Tap(VK_ESCAPE);
    } else {
      PostMessageW(t_.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    EXPECT_EQ(wt::WaitExit(t_.process, wt::kProcessMs), 0);
    DWORD v = 0;
    EXPECT_FALSE(wt::GetSetting(L"DoubleClick", &v));
    wt::CloseHandles(t_);
  }
}

TEST_F(ConfigWindow, LettersOnlyInANumberFieldSaveZero) {
  Start();
  SetWindowTextW(C(0x8808), L"abc");
  EXPECT_EQ(wt::CloseTollwick(t_, 113), 0);
  DWORD v = 99;
  EXPECT_TRUE(wt::GetSetting(L"TimeOut", &v));
  EXPECT_EQ(v, 0u);
}

// A second copy brings the first forward, exits 0, writes nothing and runs
// no exit step (a start-up shortcut that AutoRun off would delete stays).
TEST_F(ConfigWindow, SecondCopyBringsTheFirstForward) {
  ASSERT_TRUE(wt::WriteTextFile(wt::StartupShortcutPath(), "keep"));
  Start();
  // Something else in front: a window of this test process.
  HWND other = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(wt::WaitFor([&] { return GetForegroundWindow() == other; }, wt::kStepMs));
  HANDLE second = wt::StartInJob(L"Tollwick.exe", L"");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(wt::WaitExit(second, wt::kProcessMs), 0);
  CloseHandle(second);
  EXPECT_TRUE(wt::WaitFor([&] { return GetForegroundWindow() == t_.window; }, wt::kStepMs));
  EXPECT_EQ(WaitForSingleObject(t_.process, 0), static_cast<DWORD>(WAIT_TIMEOUT));  // the first runs on
  EXPECT_FALSE(wt::SettingsKeyExists());
  EXPECT_EQ(wt::ReadTextFile(wt::StartupShortcutPath()), "keep");
  DestroyWindow(other);
}

// The resources by their identifiers, read from the program file.
TEST_F(ConfigWindow, Resources) {
  HMODULE m = LoadLibraryExW(wt::InstalledPath(L"Tollwick.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(m, nullptr);
  wchar_t text[100];
  struct Str {
    UINT id;
    const wchar_t* text;
  } strings[] = {{101, L"Configuration"}, {105, L"TOLLWICK"}, {111, L"Ok"}, {112, L"Cancel"}};
  for (const Str& s : strings) {
    ASSERT_GT(LoadStringW(m, s.id, text, 100), 0) << s.id;
    EXPECT_STREQ(text, s.text);
  }
  HRSRC r = FindResourceW(m, MAKEINTRESOURCEW(110), RT_RCDATA);
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(SizeofResource(m, r), 16u * 2u);
  const WORD* w = static_cast<const WORD*>(LockResource(LoadResource(m, r)));
  const WORD bar[16] = {0, 2, 0xFFFE, 113, 4, 0x0010, 111, 0, 0xFFFF, 0xFFFE, 114, 4, 0x0010, 112, 0, 0xFFFF};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(w[i], bar[i]) << i;
  r = FindResourceW(m, L"HI_RES_AWARE", L"CEUX");
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(SizeofResource(m, r), 2u);
  EXPECT_EQ(*static_cast<const WORD*>(LockResource(LoadResource(m, r))), 1);
  EXPECT_NE(FindResourceW(m, MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);
  r = FindResourceW(m, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(r, nullptr);
  std::string manifest(static_cast<const char*>(LockResource(LoadResource(m, r))), SizeofResource(m, r));
  EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
  EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
  FreeLibrary(m);
}

// Readable by everyone, and its DACL and the key itself may still be
// changed and deleted (so that the test's clean-up works): no value may be
// written.
bool MakeSettingsReadOnly() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Ombrevale\\Hushpane", 0, WRITE_DAC, &key) != ERROR_SUCCESS)
    return false;
  PSECURITY_DESCRIPTOR sd = nullptr;
  bool done = ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)(A;;0x50000;;;WD)", SDDL_REVISION_1,
                                                                   &sd, nullptr) &&
              RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
  LocalFree(sd);
  RegCloseKey(key);
  return done;
}

// "Ok" where the settings key may not be written (a standard account on a
// key nobody opened for it): Tollwick says so plainly and keeps its window,
// so nothing is lost in silence; the stored values stay as they were.
TEST_F(ConfigWindow, OkThatCannotSaveSaysSoAndKeepsTheWindow) {
  wt::SetSetting(L"TimeOut", 8);
  ASSERT_TRUE(MakeSettingsReadOnly());
  Start();
  HWND bar = wt::MenuBarOf(t_.window);
  ASSERT_NE(bar, nullptr);
  wt::Click(GetDlgItem(bar, 113));  // "Ok"

  HWND box = wt::WaitProcessWindow(GetProcessId(t_.process), L"#32770", wt::kProcessMs);
  ASSERT_NE(box, nullptr) << "no message: the settings were lost in silence";
  HWND text = FindWindowExW(box, nullptr, L"Static", nullptr);
  while (text != nullptr && wt::TextOf(text).empty()) text = FindWindowExW(box, text, L"Static", nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_NE(wt::TextOf(text).find(L"could not be saved"), std::wstring::npos);
  wt::Click(GetDlgItem(box, IDOK));
  EXPECT_TRUE(wt::WaitFor([&] { return !IsWindow(box); }, wt::kStepMs));
  EXPECT_EQ(WaitForSingleObject(t_.process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(IsWindowVisible(t_.window));
  EXPECT_EQ(wt::SettingNames().size(), 1u);  // only what was there before
  EXPECT_EQ(wt::CloseTollwick(t_, 114), 0);  // "Cancel" still ends it
}

}  // namespace
