// What the face tests share: starting Corvane on a chosen skin at a pinned
// clock, whole-screen captures read back as colours, the shipped pictures
// decoded the way the lock screen decodes them, the installed skin's
// colours, and a guard that swaps an installed skin file for the length of
// one test.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "lockscreen/core/clock_geometry.h"
#include "lockscreen/core/layout.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/support.h"

namespace pt_face {

// The painting tests' fixture: a lock screen (optionally traced) that is
// ended, and the pinned clock released, after each test.
class PaintTest : public lt::LockTest {
 protected:
  void TearDown() override {
    lt::CloseLock(lock_);
    wt::Device(L"clock clear");
    lt::LockTest::TearDown();
  }
};

// The same on a harness screen that must be W x H.
template <int W, int H>
class PaintTestOn : public PaintTest {
 protected:
  void SetUp() override {
    PaintTest::SetUp();
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), W);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), H);
  }
};

// Pixels as COLORREF (red in the low byte), row by row.
struct Shot {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool Has(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  // How many pixels of `rect` (clipped) have exactly `colour`.
  int Count(const RECT& rect, COLORREF colour) const;
};

Shot CaptureScreen();
// The installed picture skin\<folder>\<file> decoded with SHLoadImageFile;
// empty when it cannot be decoded.
Shot InstalledPicture(const wchar_t* folderAndFile);
// The colours the lock screen resolves from the installed config.ini of
// this Clock_Type (with Face 1).
layout::Colours InstalledColours(int clockType);

// The device and settings every face test starts from: owner "Ada
// Lovelace", the clock pinned (not running) at `clock`, on battery at 80 %,
// 2 unread SMS, 0 mails, 1 missed call, Button_1 F1, a long refresh
// period, and the given Clock_Type.
void PrepareFace(int clockType, const wchar_t* clock = L"2026-03-14 10:08:30");
// Starts Corvane and waits for its first paint.
lt::Lock StartFace();
// The same with Wine's text trace (lt::StartTracedLock).
lt::Lock StartFaceTraced();

// Waits until `condition` holds on a fresh capture.
bool WaitScreen(bool (*condition)(const Shot&, const void*), const void* context, DWORD timeoutMs);

// Swaps an installed skin file (skin\<folder>\<file>) for the test's
// content, or removes it (content nullptr); the original is put back by
// Restore or at the end of the test.
class SkinFileSwap {
 public:
  SkinFileSwap(const wchar_t* folderAndFile, const std::vector<unsigned char>* content);
  ~SkinFileSwap();
  bool ok() const { return ok_; }

 private:
  std::wstring path_, backup_;
  bool ok_ = false;
};

// The bottom of the first text drawn that is exactly `text` (-1 when there
// is none), in a traced lock.
int DrawnBottom(const lt::Lock& lock, const std::wstring& text);

// UTF-16LE bytes of an ASCII text.
std::vector<unsigned char> Utf16(const std::string& ascii);

// Any pixel within `radius` of (x, y) of this colour.
bool NearColour(const Shot& s, int x, int y, int radius, COLORREF colour);

// Screen conditions for WaitScreen.
// The edge columns (0, 1, width-2, width-1) above the bottom line equal
// the picture: no text reaches them (centred lines are narrower, the
// appointment lines keep a margin).
struct PictureCheck {
  const Shot* picture;
  int unused;
};
bool EdgesShowPicture(const Shot& screen, const void* pictureCheck);

// The analog hands expected for a client of this size on the harness's
// screen and a time (on a PC screen, on the fitted face), with the
// installed analog skin's
// colours, and the dial's centre and radius on the screen.
struct HandsCheck {
  clockgeo::HandLine hour, minute, second;
  layout::Colours colours;
  clockgeo::Point centre;
  double radius;
};
HandsCheck HandsAt(int width, int height, int hour, int minute, int second);
// Each tip's neighbourhood holds its pen's colour (GDI leaves a thin
// line's last pixel out, so the 3x3 box around the tip is searched).
bool HandsDrawn(const Shot& screen, const void* handsCheck);
// The old tips and the middles of the old lines are back to FaceColor.
bool HandsErased(const Shot& screen, const void* handsCheck);
// Weaker, for a picture whose dial is not FaceColor: around the old tips
// and line middles no pixel has the hand's colour, and the erase pen's
// FaceColor is there.
bool HandsGone(const Shot& screen, const void* handsCheck);

struct ColourInRect {
  RECT rect;
  COLORREF colour;
  int atLeast;
};
bool HasColour(const Shot& screen, const void* colourInRect);

}  // namespace pt_face
