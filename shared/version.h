// The suite's version: drawn on the lock screen, written into the programs'
// version resources and into setup's uninstall entry. Plain preprocessor
// text, so that resource scripts and setup can read it too.
#pragma once

#define SUITE_VERSION_TEXT "2.0"
#define SUITE_VERSION_WORDS 2, 0, 0, 0
