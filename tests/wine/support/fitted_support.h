// What the tests of the face on PC screens share: where the fitted face
// lies, and the checks of the face's box, its texts, its hands and the
// dial under them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/wine/support/paint_support.h"

namespace pt_fit {

// The face's place on a full screen of this size (the whole screen on a
// device class).
RECT FaceOnScreen(int width, int height);

// Screen condition: the box of every non-black pixel is exactly `*rect`
// (the picture fills the face, the margins are black).
bool NonBlackBoxIs(const pt_face::Shot& screen, const void* rect);
// Rows of `rect` that hold at least one pixel of `colour`.
int InkRows(const pt_face::Shot& s, const RECT& rect, COLORREF colour);

// Screen condition: every pixel of the three hand colours lies on the
// dial (within the radius where the picture's ticks begin), and each hand
// shows there.
bool HandColoursOnDial(const pt_face::Shot& screen, const void* handsCheck);

// The whole check of a face on a PC screen of the harness: the face's box,
// every text on the picture at the scaled size; for the digital clock
// (Clock_Type 2) its time on the picture, for the analog clock the hands
// on the dial and, after the clock moves, the face beneath the old hands.
void CheckFace(int clockType, lt::Lock* lock);

}  // namespace pt_fit
