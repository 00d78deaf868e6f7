// Helpers of the face tests on PC screens (see fitted_support.h).
#include "tests/wine/support/fitted_support.h"

#include <cmath>

#include "lockscreen/core/face_fit.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/support.h"

namespace pt_fit {

RECT FaceOnScreen(int width, int height) {
  const facefit::FaceFit fit = facefit::FitFace(facefit::ChooseFace(width, height), {0, 0, width, height});
  const layout::Rect r = facefit::MapRect(fit, fit.face);
  return {r.left, r.top, r.right, r.bottom};
}

bool NonBlackBoxIs(const pt_face::Shot& s, const void* context) {
  const RECT& want = *static_cast<const RECT*>(context);
  RECT box{s.width, s.height, -1, -1};
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      if (s.At(x, y) == 0) continue;
      if (x < box.left) box.left = x;
      if (y < box.top) box.top = y;
      if (x + 1 > box.right) box.right = x + 1;
      if (y + 1 > box.bottom) box.bottom = y + 1;
    }
  }
  return EqualRect(&box, &want) != FALSE;
}

int InkRows(const pt_face::Shot& s, const RECT& r, COLORREF colour) {
  int rows = 0;
  for (int y = r.top; y < r.bottom; ++y) rows += s.Count({r.left, y, r.right, y + 1}, colour) > 0 ? 1 : 0;
  return rows;
}

bool HandColoursOnDial(const pt_face::Shot& s, const void* context) {
  const auto* c = static_cast<const pt_face::HandsCheck*>(context);
  // The picture's ticks begin 8 (scaled) beyond the radius, which is 70 on
  // every class a PC screen takes: the hands and their erasing stay inside.
  const double reach = c->radius * 78.0 / 70.0;
  int inside[3] = {0, 0, 0};
  const COLORREF colours[3] = {c->colours.hourHand, c->colours.minuteHand, c->colours.secondHand};
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      const COLORREF p = s.At(x, y);
      for (int i = 0; i < 3; ++i) {
        if (p != colours[i]) continue;
        if (std::hypot(x - c->centre.x, y - c->centre.y) > reach) return false;
        ++inside[i];
      }
    }
  }
  return inside[0] > 0 && inside[1] > 0 && inside[2] > 0;
}

void CheckFace(int clockType, lt::Lock* lock) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  const RECT face = FaceOnScreen(w, h);
  pt_face::PrepareFace(clockType, L"2026-03-14 15:37:45");
  *lock = pt_face::StartFaceTraced();
  ASSERT_NE(lock->window, nullptr);

  // The picture fills the face's place exactly, the margins are black.
  EXPECT_TRUE(pt_face::WaitScreen(NonBlackBoxIs, &face, wt::kStepMs))
      << "face " << face.left << "," << face.top << "-" << face.right << "," << face.bottom;

  // Every text lies on the picture, and the owner's name is drawn at the
  // scaled size: its letters span more rows than the unscaled 16-pixel
  // font could (not a small text, not a stretched bitmap of one).
  for (const char* text : {"Ada Lovelace", "March 14, 2026", "2.0", "Unread SMS: 2", "Missed calls: 1",
                           clockType == 2 ? "3:37 PM" : "Reading appointments"}) {
    EXPECT_TRUE(wt::WaitFor([&] { return wt::FileHas(lock->traceFile, text); }, wt::kStepMs)) << text;
  }
  RECT owner{};
  for (const lt::Drawn& d : lt::DrawnTexts(*lock)) {
    SCOPED_TRACE(std::string(d.text.begin(), d.text.end()));
    EXPECT_GE(d.rect.left, face.left);
    EXPECT_GE(d.rect.top, face.top);
    EXPECT_LE(d.rect.right, face.right);
    EXPECT_LE(d.rect.bottom, face.bottom);
    if (d.text == L"Ada Lovelace") owner = d.rect;
  }
  const facefit::FaceFit fit = facefit::FitFace(facefit::ChooseFace(w, h), {0, 0, w, h});
  const pt_face::Shot shot = pt_face::CaptureScreen();
  const layout::Colours colours = pt_face::InstalledColours(clockType);
  const int rows = InkRows(shot, owner, colours.owner);
  EXPECT_GE(rows, facefit::ScaleLength(fit, 16) * 6 / 10);
  EXPECT_LE(rows, owner.bottom - owner.top);
  if (clockType == 2) {
    // The time in its colour, all of it on the picture.
    const int onFace = shot.Count(face, colours.digitalTime);
    EXPECT_GT(onFace, 100);
    EXPECT_EQ(shot.Count({0, 0, w, h}, colours.digitalTime), onFace);
    return;
  }

  // The hands turn on the dial; after the clock moves, what the old hands
  // leave is the face beneath them.
  const pt_face::HandsCheck first = pt_face::HandsAt(w, h, 15, 37, 45);
  ASSERT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &first, wt::kStepMs));
  EXPECT_TRUE(pt_face::WaitScreen(HandColoursOnDial, &first, wt::kStepMs));
  wt::Device(L"clock \"2026-03-14 16:05:10\"");
  const pt_face::HandsCheck moved = pt_face::HandsAt(w, h, 16, 5, 10);
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HandsDrawn, &moved, wt::kStepMs));
  EXPECT_TRUE(pt_face::WaitScreen(pt_face::HandsErased, &first, wt::kStepMs));
  EXPECT_TRUE(pt_face::WaitScreen(HandColoursOnDial, &moved, wt::kStepMs));
  EXPECT_TRUE(pt_face::WaitScreen(NonBlackBoxIs, &face, wt::kStepMs));
}

}  // namespace pt_fit
