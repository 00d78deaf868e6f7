#!/usr/bin/env bash
# Calendar reader benchmark under Wine (not a test): hostile calendar files
# of the 2 MiB bound, read as the lock screen reads them, each beside the
# floor of reading the file's bytes.
# Usage: bench/calendar_bench.sh BUILD_DIR [runs]
# BUILD_DIR is a Windows build with a Wine prefix made by the test harness.
# With BENCH_IN_SESSION=1 the caller (run-bench) has prepared the prefix and
# started a session already.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
build=$(cd "$1" && pwd)
runs=${2:-5}
out="$build/bench"
mkdir -p "$out"
"$here/make.sh" "$build" calendar_bench

source "$repo/bench/session.sh" "$build" 240x320
wine "$out/calendar_bench.exe" "$runs" 2>/dev/null
