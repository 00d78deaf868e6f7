// The machine-readable rows every benchmark program prints beside its own
// lines, so that run-bench can gather one table from all of them:
//   ROW|measure|median|min|max|unit|runs|floor median|versus floor|goal|met|start
// "-" fills a field that has no value (no floor, no goal). `met` is "yes" or
// "no" when the program can judge the goal, "-" otherwise; `start` says
// whether the programs measured started warm (Wine's desktop process alive)
// or cold. Header only: each benchmark is one source file built by its
// script.
#pragma once

#include <algorithm>
#include <cstdio>
#include <vector>

namespace rows {

struct Stats {
  double median, min, max;
  size_t n;
};

inline Stats Summary(std::vector<double> v) {
  Stats s = {0, 0, 0, v.size()};
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  s.median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  s.min = v.front();
  s.max = v.back();
  return s;
}

// How a figure is held against its floor in the versus column.
enum Versus { kNone, kRatio, kDifference };

// One row. `floor` is the floor's samples (empty: none); `goal` a text such
// as "<= 1.5x floor"; `met` 1, 0 or -1 (not judged).
inline void Row(const char* measure, const std::vector<double>& samples, const char* unit, const char* runs,
                const std::vector<double>& floor, Versus versus, const char* goal, int met, const char* start) {
  Stats s = Summary(samples);
  char floorText[32] = "-", versusText[32] = "-";
  if (!floor.empty()) {
    double f = Summary(floor).median;
    snprintf(floorText, sizeof(floorText), "%.3f", f);
    if (versus == kRatio && f > 0) snprintf(versusText, sizeof(versusText), "x%.2f", s.median / f);
    if (versus == kDifference) snprintf(versusText, sizeof(versusText), "%+.3f", s.median - f);
  }
  if (samples.empty()) {
    printf("ROW|%s|-|-|-|%s|%s|%s|-|%s|no|%s\n", measure, unit, runs, floorText, goal, start);
  } else {
    printf("ROW|%s|%.3f|%.3f|%.3f|%s|%s|%s|%s|%s|%s|%s\n", measure, s.median, s.min, s.max, unit, runs, floorText,
           versusText, goal, met < 0 ? "-" : (met ? "yes" : "no"), start);
  }
  fflush(stdout);
}

inline double MedianOf(const std::vector<double>& v) { return Summary(v).median; }

}  // namespace rows
