#!/usr/bin/env bash
# Lock screen benchmark under Wine on a 480x640 screen (not a test).
# Usage: bench/lockscreen_bench.sh BUILD_DIR [runs] [idle-seconds]
# BUILD_DIR is a Windows build (holds bin/Corvane.exe and a Wine prefix made
# by the test harness). Prints medians beside the floor measured in the same
# run, and the CPU used by Wine's own processes beside Corvane's (both read
# from the host's /proc by the benchmark program). With BENCH_IN_SESSION=1
# the caller (run-bench) has prepared the prefix and started a 480x640
# session already.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
build=$(cd "$1" && pwd)
runs=${2:-10}
idle=${3:-60}
out="$build/bench"
mkdir -p "$out"
# lockscreen_floor_picture and _thread: the floor that carries one of the
# programs' Wine costs alone (see lockscreen_floor.cpp).
"$here/make.sh" "$build" lockscreen_floor lockscreen_floor_picture lockscreen_floor_thread lockscreen_bench
cp "$build/bin/Corvane.exe" "$out/"
rm -rf "$out/skin"
# BENCH_NO_SKIN=1 leaves the skin folder out: the figures then show what
# the picture decoder costs (black face, built-in colours).
if [ -z "${BENCH_NO_SKIN:-}" ] && [ -d "$repo/skins" ]; then mkdir -p "$out/skin"; cp -r "$repo/skins/." "$out/skin/"; fi

source "$repo/bench/session.sh" "$build" 480x640

wine "$out/lockscreen_bench.exe" "$runs" "$idle" 2>/dev/null
