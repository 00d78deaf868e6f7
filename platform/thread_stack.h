// A thread's stack under Wine.
#pragma once
#include <windows.h>

// Gives back the pages of the calling thread's stack below its current
// frame (they hold nothing a live frame needs). Wine zeroes 960 KiB of
// every new thread's stack before the thread runs, so each thread would
// otherwise keep that much resident for its whole life; on Windows the
// range is the few pages the thread has touched. A thread calls it first
// thing; a later deeper call takes fresh zero pages as it needs them.
void ThreadReleaseStack(void);
