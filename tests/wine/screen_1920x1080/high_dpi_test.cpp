// System scaling at 150 % (Wine: LogPixels 144) on a 1920x1080 screen. The
// lock screen is DPI-aware (its manifest says so): the lock window works in
// physical pixels, so the face still fills the monitor with crisp text at
// the same size as at 96 dpi (the face scales with the screen, not with
// the system's scaling). Tollwick's side is in config_dialog_test.cpp.
#include <gtest/gtest.h>

#include "tests/wine/support/fitted_support.h"
#include "tests/wine/support/paint_support.h"
#include "tests/wine/support/support.h"

namespace {

class HighDpiFace : public pt_face::PaintTest {
 protected:
  void SetUp() override {
    pt_face::PaintTest::SetUp();
    wt::SetSystemScaling(144);
  }
  void TearDown() override {
    wt::SetSystemScaling(0);
    pt_face::PaintTest::TearDown();
  }
};

// The lock window's DPI awareness, read through user32 where it has the
// call (Windows 10, Wine): anything but "unaware".
int AwarenessOf(HWND window) {
  using Get = HANDLE(WINAPI*)(HWND);
  using Awareness = int(WINAPI*)(HANDLE);
  HMODULE user = GetModuleHandleW(L"user32.dll");
  auto get = reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(user, "GetWindowDpiAwarenessContext")));
  auto awareness =
      reinterpret_cast<Awareness>(reinterpret_cast<void*>(GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext")));
  if (get == nullptr || awareness == nullptr) return -1;
  return awareness(get(window));
}

TEST_F(HighDpiFace, FillsTheMonitorWithCrispTextAtItsOwnSize) {
  pt_face::PrepareFace(1, L"2026-03-14 15:37:45");
  lock_ = pt_face::StartFaceTraced();
  ASSERT_NE(lock_.window, nullptr);
  EXPECT_GT(AwarenessOf(lock_.window), 0);
  // A program started now runs at 150 %.
  HANDLE helper = wt::StartSelf(L"--helper dpi -");
  EXPECT_EQ(wt::WaitExit(helper, wt::kProcessMs), 144);
  if (helper != nullptr) CloseHandle(helper);

  const RECT face = pt_fit::FaceOnScreen(1920, 1080);
  EXPECT_TRUE(pt_face::WaitScreen(pt_fit::NonBlackBoxIs, &face, wt::kStepMs));
  ASSERT_TRUE(wt::WaitFor([&] { return wt::FileHas(lock_.traceFile, "Ada Lovelace"); }, wt::kStepMs));
  RECT owner{};
  for (const lt::Drawn& d : lt::DrawnTexts(lock_)) {
    if (d.text == L"Ada Lovelace") owner = d.rect;
  }
  // The owner line as at 96 dpi: its 16-pixel font scaled 2.25 times, not
  // 1.5 times more; its letters in the owner's own colour (not blurred).
  const pt_face::Shot s = pt_face::CaptureScreen();
  const COLORREF colour = pt_face::InstalledColours(1).owner;
  const int rows = pt_fit::InkRows(s, owner, colour);
  EXPECT_GE(rows, 36 * 6 / 10);
  EXPECT_LE(rows, 36);
  EXPECT_GT(s.Count(owner, colour), 300);
  const pt_face::HandsCheck hands = pt_face::HandsAt(1920, 1080, 15, 37, 45);
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &hands, wt::kStepMs));
}

}  // namespace
