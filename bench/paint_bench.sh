#!/usr/bin/env bash
# Runs the paint benchmark (bench/paint_bench.cpp) under Wine on 240x320,
# 480x640 and 800x480 screens and a 1920x1080 PC screen, for the analog and
# the digital skin, each figure beside its floor measured in the same run.
# Usage: bench/paint_bench.sh WIN_BUILD_DIR [REPEATS (default 200)] [SIZES]
# WIN_BUILD_DIR is a mingw build folder (tools/build.sh makes build/win);
# the benchmark is built there (bench/make.sh) and its Wine prefix is used.
# SIZES (default "240x320 480x640 800x480 1920x1080") picks the screens.
# With BENCH_IN_SESSION=1 the caller (run-bench) has prepared the prefix and
# started a session whose screen is the one size given.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
repeats=${2:-200}
sizes=${3:-240x320 480x640 800x480 1920x1080}
out="$build/bench"
mkdir -p "$out/module/skin"
cp -r "$repo"/skins/. "$out/module/skin/"

"$repo/bench/make.sh" "$build" paint_bench

source "$repo/tests/wine/harness/env.sh" "$build"
source "$repo/tests/wine/harness/session.sh"
module="Z:${out//\//\\}\\module\\"
if [ -z "${BENCH_IN_SESSION:-}" ]; then
  trap stop_session EXIT
  prepare_prefix
fi
for size in $sizes; do
  [ -n "${BENCH_IN_SESSION:-}" ] || start_session "$size"
  for type in 1 2; do
    echo "== $size, Clock_Type $type"
    wine "$out/paint_bench.exe" "$module" "$type" "$repeats" </dev/null 2>/dev/null
  done
  [ -n "${BENCH_IN_SESSION:-}" ] || stop_session
done
