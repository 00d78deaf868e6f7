#!/usr/bin/env bash
# Builds every fuzz/*_fuzz.cpp with Debian's clang and libFuzzer (with
# AddressSanitizer and UndefinedBehaviorSanitizer) against the pure core,
# then runs each for a bounded time. The targets are the CMake project's
# (option OMBREVALE_FUZZ), built in OUT_DIR/build; a target needs no entry
# anywhere: its file name is enough. Seeds, when present, come from
# fuzz/corpus/<name>/; new inputs go to a scratch corpus under the output
# folder, never into the tree.
# Usage: fuzz/run-fuzz.sh [SECONDS_PER_TARGET (default 60)] [OUT_DIR (default /tmp/ombrevale-fuzz)]
# Exit status: 0 when every target built and ran without a finding.
set -u
repo=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out=${2:-/tmp/ombrevale-fuzz}
mkdir -p "$out"
build="$out/build"
if ! cmake -S "$repo" -B "$build" -DCMAKE_C_COMPILER="${CC_FUZZ:-clang}" -DCMAKE_CXX_COMPILER="${CXX_FUZZ:-clang++}" \
       -DOMBREVALE_FUZZ=ON >"$out/configure.log" 2>&1; then
  echo "!! the fuzz build could not be configured (see $out/configure.log)"; tail -n 20 "$out/configure.log"
  exit 1
fi

status=0
shopt -s nullglob
for target in "$repo"/fuzz/*_fuzz.cpp; do
  name=$(basename "$target" .cpp)
  echo "== $name: building"
  if ! cmake --build "$build" -j2 --target "$name" >"$out/$name.build.log" 2>&1; then
    echo "!! $name: build failed (see $out/$name.build.log)"; tail -n 20 "$out/$name.build.log"
    status=1; continue
  fi
  corpus="$out/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$repo/fuzz/corpus/$name" ] && seeds=("$repo/fuzz/corpus/$name")
  echo "== $name: running ${seconds} s"
  if ! (cd "$out" && "$build/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
          -artifact_prefix="$out/$name-" -print_final_stats=1 "$corpus" "${seeds[@]}" \
          >"$out/$name.log" 2>&1); then
    echo "!! $name: finding (see $out/$name.log and $out/$name-*)"; tail -n 30 "$out/$name.log"
    status=1; continue
  fi
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$out/$name.log" | sed "s/^/   $name /"
done
exit $status
