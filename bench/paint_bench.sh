#!/usr/bin/env bash
# Runs the paint benchmark (bench/paint_bench.cpp) under Wine on 240x320,
# 480x640 and 800x480 screens, for the analog and the digital skin, each
# figure beside its floor measured in the same run.
# Usage: bench/paint_bench.sh WIN_BUILD_DIR [REPEATS (default 200)]
# WIN_BUILD_DIR is a mingw build folder (tools/build.sh makes build/win);
# its libraries are linked and its Wine prefix is used.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
repeats=${2:-200}
out="$build/bench"
mkdir -p "$out/module/skin"
cp -r "$repo"/skins/. "$out/module/skin/"

x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX \
  -D_WIN32_WINNT=0x0601 -I"$repo" "$repo/bench/paint_bench.cpp" "$repo/lockscreen/paint.cpp" \
  "$repo/lockscreen/clock.cpp" "$repo/lockscreen/skin.cpp" "$build/libplatform.a" "$build/libsuite_core.a" \
  -municode -mconsole -static -luser32 -lgdi32 -ladvapi32 -lshell32 -lole32 -loleaut32 -luuid -lwindowscodecs \
  -o "$out/paint_bench.exe"

source "$repo/tests/wine/harness/env.sh" "$build"
source "$repo/tests/wine/harness/session.sh"
trap stop_session EXIT
prepare_prefix
module="Z:${out//\//\\}\\module\\"
for size in 240x320 480x640 800x480; do
  start_session "$size"
  for type in 1 2; do
    echo "== $size, Clock_Type $type"
    wine "$out/paint_bench.exe" "$module" "$type" "$repeats" </dev/null 2>/dev/null
  done
  stop_session
done
