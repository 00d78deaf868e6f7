// Entry of every Wine test program (linked with -municode).
#include <gtest/gtest.h>

#include "tests/wine/support/support.h"

int wmain(int argc, wchar_t** argv) {
  int helper = wt::RunHelper(argc, argv);
  if (helper >= 0) return helper;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
