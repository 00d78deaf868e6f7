#!/usr/bin/env bash
# Platform stand-ins benchmark under Wine (not a test): the power bus's
# cross-process latency and the sender's cost, and the game-input key path,
# each beside its floor measured in the same run.
# Usage: bench/platform_bench.sh BUILD_DIR [runs]
# BUILD_DIR is a Windows build with a Wine prefix made by the test harness.
# With BENCH_IN_SESSION=1 the caller (run-bench) has prepared the prefix and
# started a session already.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
build=$(cd "$1" && pwd)
runs=${2:-50}
out="$build/bench"
mkdir -p "$out"
"$here/make.sh" "$build" platform_bench

source "$repo/bench/session.sh" "$build" 240x320
wine "$out/platform_bench.exe" "$runs" 2>/dev/null
