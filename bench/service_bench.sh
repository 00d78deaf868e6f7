#!/usr/bin/env bash
# Lock service benchmark under Wine on a 480x640 screen (not a test).
# Usage: bench/service_bench.sh BUILD_DIR [runs] [idle-seconds]
# BUILD_DIR is a Windows build (bin/ holds the programs; the benchmark is
# built there; its Wine prefix, made by the test harness, is used). Prints the
# lock latency beside its floor measured in the same run, and Hushpane's
# own CPU time while armed. With BENCH_IN_SESSION=1 the caller (run-bench)
# has prepared the prefix, installed the programs and started a 480x640
# session already.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
build=$(cd "$1" && pwd)
runs=${2:-10}
idle=${3:-60}
out="$build/bench"
mkdir -p "$out"
"$here/make.sh" "$build" lockscreen_floor service_floor service_bench

source "$repo/bench/session.sh" "$build" 480x640 install
wine "$out/service_bench.exe" "$runs" "$idle" 2>/dev/null
