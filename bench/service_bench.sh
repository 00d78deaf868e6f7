#!/usr/bin/env bash
# Lock service benchmark under Wine on a 480x640 screen (not a test).
# Usage: bench/service_bench.sh BUILD_DIR [runs] [idle-seconds]
# BUILD_DIR is a Windows build (bin/ holds the programs; its libraries are
# linked; its Wine prefix, made by the test harness, is used). Prints the
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
x86_64-w64-mingw32-g++-posix -O2 -municode -static -static-libgcc -static-libstdc++ -mconsole \
  -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601 -I"$repo" \
  -o "$out/service_bench.exe" "$here/service_bench.cpp" "$repo/tests/wine/support/service_procfs.cpp" \
  "$build/libplatform.a" "$build/libsuite_core.a" -luser32 -lgdi32 -ladvapi32 -lshell32 -lpsapi

source "$repo/tests/wine/harness/env.sh" "$build"
if [ -z "${BENCH_IN_SESSION:-}" ]; then
  source "$repo/tests/wine/harness/session.sh"
  trap stop_session EXIT
  prepare_prefix
  install_programs
  start_session 480x640
fi
wine "$out/service_bench.exe" "$runs" "$idle" 2>/dev/null
