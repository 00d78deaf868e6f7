// The first paint's skin picture, decoded ahead on a thread of its own.
//
// Decoding the picture is the longest step of the first paint (WIC's
// start included). Start-up starts that decode as soon as the screen's
// size is known, so that it runs while the window is being made; the
// first paint takes the result instead of decoding the same file again.
// Every later paint decodes as it always did.
#pragma once
#include <windows.h>

// Starts decoding `path` (a full path). Once per process; a failed thread
// start leaves the first paint to decode as usual.
void EarlyPicture_Start(const wchar_t* path);

// The early decode's answer for `path`: TRUE and the bitmap (NULL when the
// file could not be decoded) once it is done; the caller owns the bitmap.
// FALSE when there was no early decode, it was for another path (the
// screen turned meanwhile), or it did not end within its bound: the
// caller decodes itself. Answers once.
BOOL EarlyPicture_Take(const wchar_t* path, HBITMAP* bitmap);

// At the end: a result nobody took is deleted (a decode still running
// after its bound is left to the process's end).
void EarlyPicture_Drop(void);
