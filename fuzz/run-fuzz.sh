#!/usr/bin/env bash
# Builds every fuzz/*_fuzz.cpp with Debian's clang and libFuzzer (with
# AddressSanitizer and UndefinedBehaviorSanitizer) against the pure core,
# then runs each for a bounded time. A target needs no entry here: its file
# name is enough. Seeds, when present, come from fuzz/corpus/<name>/; new
# inputs go to a scratch corpus under the output folder, never into the tree.
# Usage: fuzz/run-fuzz.sh [SECONDS_PER_TARGET (default 60)] [OUT_DIR (default /tmp/ombrevale-fuzz)]
# Exit status: 0 when every target built and ran without a finding.
set -u
repo=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out=${2:-/tmp/ombrevale-fuzz}
cxx=${CXX_FUZZ:-clang++}
mkdir -p "$out"

# The pure core, as CMake gathers it: no <windows.h>, so it builds natively.
mapfile -t core < <(ls "$repo"/shared/core/*.cpp "$repo"/service/core/*.cpp "$repo"/lockscreen/core/*.cpp \
                       "$repo"/config/core/*.cpp "$repo"/platform/core/*.cpp 2>/dev/null)
flags=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$repo")

status=0
shopt -s nullglob
for target in "$repo"/fuzz/*_fuzz.cpp; do
  name=$(basename "$target" .cpp)
  echo "== $name: building"
  if ! "$cxx" "${flags[@]}" "$target" "${core[@]}" -o "$out/$name" 2>"$out/$name.build.log"; then
    echo "!! $name: build failed (see $out/$name.build.log)"; tail -n 20 "$out/$name.build.log"
    status=1; continue
  fi
  corpus="$out/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$repo/fuzz/corpus/$name" ] && seeds=("$repo/fuzz/corpus/$name")
  echo "== $name: running ${seconds} s"
  if ! (cd "$out" && "./$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
          -artifact_prefix="$out/$name-" -print_final_stats=1 "$corpus" "${seeds[@]}" \
          >"$out/$name.log" 2>&1); then
    echo "!! $name: finding (see $out/$name.log and $out/$name-*)"; tail -n 30 "$out/$name.log"
    status=1; continue
  fi
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$out/$name.log" | sed "s/^/   $name /"
done
exit $status
