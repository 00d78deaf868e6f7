#!/usr/bin/env bash
# Builds benchmark programs of a Windows build folder by name, into its
# bench/ folder. They are CMake targets behind the option OMBREVALE_BENCH,
# with the programs' own flags and sources, and left out of a plain build.
# Quiet unless the build fails.
# Usage: bench/make.sh BUILD_DIR TARGET...
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$1
shift
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { cmake -S "$repo" -B "$build" -DOMBREVALE_BENCH=ON && cmake --build "$build" -j2 --target "$@"; } >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
