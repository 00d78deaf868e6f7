#!/usr/bin/env bash
# Configuration program benchmark under Wine on a 240x320 screen (not a
# test). Usage: bench/config_bench.sh BUILD_DIR [runs]
# BUILD_DIR is a Windows build (bin/ holds the programs; its Wine prefix,
# made by the test harness, is used). Prints medians beside the floor (a
# bare full-screen window) measured in the same run. With BENCH_IN_SESSION=1
# the caller (run-bench) has prepared the prefix, installed the programs and
# started a 240x320 session already.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
build=$(cd "$1" && pwd)
runs=${2:-10}
out="$build/bench"
mkdir -p "$out"
"$here/make.sh" "$build" lockscreen_floor lockscreen_floor_controls config_bench

source "$repo/bench/session.sh" "$build" 240x320 install
# Nothing left over from a test: no settings key, AutoRun off.
wine reg delete 'HKLM\Software\Ombrevale\Hushpane' /f >/dev/null 2>&1 || true
wine "$out/config_bench.exe" "$runs" 2>/dev/null
