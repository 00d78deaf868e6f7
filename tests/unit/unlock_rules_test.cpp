// The unlock state machine over tables of key sequences.
#include "lockscreen/core/unlock_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using unlock::KeyDownResult;

constexpr int32_t A = 0x70;  // F1
constexpr int32_t B = 0x26;  // VK_UP
constexpr int32_t X = 0x41;  // another key

struct Step {
  bool down;
  int32_t key;
  uint32_t tick;
};

// Runs the steps; the index of the key-down that unlocked, or -1.
int Press(const unlock::Buttons& buttons, const std::vector<Step>& steps, unlock::State* out = nullptr) {
  unlock::State s;
  for (size_t i = 0; i < steps.size(); ++i) {
    if (steps[i].down) {
      if (unlock::OnKeyDown(s, buttons, steps[i].key, steps[i].tick) == KeyDownResult::kUnlock) {
        if (out) *out = s;
        return static_cast<int>(i);
      }
    } else {
      unlock::OnKeyUp(s, buttons, steps[i].key);
    }
  }
  if (out) *out = s;
  return -1;
}

unlock::Buttons Pair(int32_t doubleClick) {
  unlock::Buttons b;
  b.button1 = A;
  b.button2 = B;
  b.doubleClick = doubleClick;
  return b;
}

TEST(UnlockTwoButtons, StateTable) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    int unlockAt;
  } cases[] = {
      {"A then B", {{true, A, 0}, {true, B, 5000}}, 1},
      {"B then A", {{true, B, 0}, {true, A, 5000}}, 1},
      {"no time limit between the two", {{true, A, 0}, {true, B, 0x7FFFFFFF}}, 1},
      {"A down, A up, B down", {{true, A, 0}, {false, A, 10}, {true, B, 20}}, -1},
      {"B down, B up, A down", {{true, B, 0}, {false, B, 10}, {true, A, 20}}, -1},
      {"auto-repeat of A", {{true, A, 0}, {true, A, 30}, {true, A, 60}}, -1},
      {"other keys between", {{true, A, 0}, {true, X, 5}, {false, X, 6}, {true, B, 9}}, 3},
      {"key-up of another key keeps A held", {{true, A, 0}, {false, X, 5}, {true, B, 9}}, 2},
      {"other keys alone", {{true, X, 0}, {true, X, 1}, {false, X, 2}}, -1},
      // A lost key-up leaves the flag set: the other button alone then unlocks.
      {"lost key-up of A", {{true, A, 0}, {true, X, 100}, {true, B, 90000}}, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(Press(Pair(0), c.steps), c.unlockAt) << c.name;
}

TEST(UnlockTwoButtons, EqualButtonsUnlockWithOneKeyDown) {
  unlock::Buttons b;
  b.button1 = A;
  b.button2 = A;
  EXPECT_EQ(Press(b, {{true, X, 0}, {true, A, 1}}), 1);
  unlock::State s;
  EXPECT_EQ(unlock::OnKeyDown(s, b, A, 0), KeyDownResult::kUnlock);
  EXPECT_EQ(s.held1, 1);  // an unlock does not clear the flags
  EXPECT_EQ(s.held2, 1);
}

// A stored modifier without a side can never arrive as such (the keys come
// side-specific): it is held by either side, and released by either.
TEST(UnlockTwoButtons, SidelessModifierMatchesEitherSide) {
  struct Case {
    int32_t stored, key;
    bool matches;
  } cases[] = {
      {0x10, 0xA0, true},  {0x10, 0xA1, true},  {0x11, 0xA2, true},  {0x11, 0xA3, true},
      {0x12, 0xA4, true},  {0x12, 0xA5, true},  {0x12, 0x12, true},  {0x10, 0xA2, false},
      {0x11, 0xA4, false}, {0x12, 0xA0, false}, {0xA4, 0xA5, false}, {0xA4, 0x12, false},
  };
  for (const Case& c : cases) {
    unlock::Buttons b;
    b.button1 = c.stored;
    b.button2 = B;
    EXPECT_EQ(Press(b, {{true, c.key, 0}, {true, B, 10}}), c.matches ? 1 : -1) << c.stored << " " << c.key;
    EXPECT_EQ(Press(b, {{true, c.key, 0}, {false, c.key, 5}, {true, B, 10}}), -1) << c.stored << " " << c.key;
  }
}

TEST(UnlockDoublePress, BoundaryAndWrap) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    int unlockAt;
  } cases[] = {
      {"A twice 799 ms", {{true, A, 10000}, {false, A, 10050}, {true, A, 10799}}, 2},
      {"A twice 800 ms", {{true, A, 10000}, {false, A, 10050}, {true, A, 10800}}, -1},
      {"A then B 799 ms, A released", {{true, A, 10000}, {false, A, 10010}, {true, B, 10799}}, 2},
      {"A up then B 800 ms", {{true, A, 10000}, {false, A, 10010}, {true, B, 10800}}, -1},
      {"wrap: 300 ms across zero", {{true, A, 0xFFFFFF00u}, {false, A, 0xFFFFFF10u}, {true, A, 0x2Cu}}, 2},
      {"wrap: 900 ms across zero", {{true, A, 0xFFFFFF00u}, {false, A, 0xFFFFFF10u}, {true, A, 0x284u}}, -1},
      // A first press never unlocks, also right after boot.
      {"first press at tick 0", {{true, A, 0}}, -1},
      {"first press at tick 500", {{true, A, 500}}, -1},
      {"first press at tick 799", {{false, A, 1}, {true, B, 799}}, -1},
      {"auto-repeat within 800 ms", {{true, A, 1000}, {true, A, 1500}}, 1},
      // The memory follows every press that did not unlock.
      {"three presses 700 apart after a slow one",
       {{true, A, 0}, {false, A, 1}, {true, A, 900}, {false, A, 901}, {true, A, 1600}},
       4},
      {"slow presses never unlock",
       {{true, A, 0}, {false, A, 1}, {true, A, 900}, {false, A, 901}, {true, A, 1800}},
       -1},
  };
  for (const Case& c : cases) EXPECT_EQ(Press(Pair(1), c.steps), c.unlockAt) << c.name;
}

TEST(UnlockDoublePress, OffMeansNoTimeRule) {
  EXPECT_EQ(Press(Pair(0), {{true, A, 1000}, {false, A, 1001}, {true, A, 1100}}), -1);
  unlock::State s;
  unlock::OnKeyDown(s, Pair(0), A, 1234);
  EXPECT_FALSE(s.hasEarlierPress);  // the memory is not touched
}

TEST(UnlockDoublePress, OtherKeysNeverTouchTheMemory) {
  unlock::State s;
  unlock::Buttons b = Pair(1);
  EXPECT_EQ(unlock::OnKeyDown(s, b, A, 5000), KeyDownResult::kWake);
  unlock::OnKeyUp(s, b, A);
  for (int32_t k = 1; k <= 0xFE; ++k) {
    if (k == A || k == B) continue;
    EXPECT_EQ(unlock::OnKeyDown(s, b, k, 5000 + static_cast<uint32_t>(k)), KeyDownResult::kWake) << k;
    unlock::OnKeyUp(s, b, k);
    EXPECT_EQ(s.earlierPressTick, 5000u) << k;
  }
  // Many presses of other keys, none unlocks; the button 700 ms after the
  // first press still does.
  EXPECT_EQ(unlock::OnKeyDown(s, b, B, 5700), KeyDownResult::kUnlock);
}

TEST(UnlockKeys, KeyFromParamIsSignedLow16) {
  EXPECT_EQ(unlock::KeyFromParam(0x70), 0x70);
  EXPECT_EQ(unlock::KeyFromParam(0x12340070), 0x70);
  EXPECT_EQ(unlock::KeyFromParam(0xFFFF), -1);
  EXPECT_EQ(unlock::KeyFromParam(0x8000), -32768);
  EXPECT_EQ(unlock::KeyFromParam(0xFFFFFFFF000000A4ull), 0xA4);
}

TEST(UnlockKeys, CallKeysAreTalkAndEnd) {
  for (int32_t k = -2; k <= 0x1FF; ++k) EXPECT_EQ(unlock::IsCallKey(k), k == 0x72 || k == 0x73) << k;
}

TEST(UnlockKeyUp, OnlyUnlockButtonsClearFlags) {
  unlock::State s;
  s.held1 = 1;
  s.held2 = 1;
  unlock::OnKeyUp(s, Pair(0), X);
  EXPECT_EQ(s.held1, 1);
  EXPECT_EQ(s.held2, 1);
  unlock::OnKeyUp(s, Pair(0), B);
  EXPECT_EQ(s.held1, 1);
  EXPECT_EQ(s.held2, 0);
  unlock::OnKeyUp(s, Pair(0), A);
  EXPECT_EQ(s.held1, 0);
}

}  // namespace
