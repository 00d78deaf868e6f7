#!/usr/bin/env bash
# Lock screen benchmark under Wine on a 480x640 screen (not a test).
# Usage: bench/lockscreen_bench.sh BUILD_DIR [runs] [idle-seconds]
# BUILD_DIR is a Windows build (holds bin/Corvane.exe and a Wine prefix made
# by the test harness). Prints medians beside the floor measured in the same
# run, and the CPU used by Wine's own processes beside Corvane's.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
build=$(cd "$1" && pwd)
runs=${2:-10}
idle=${3:-60}
out="$build/bench"
mkdir -p "$out"
cxx=x86_64-w64-mingw32-g++-posix
flags="-O2 -municode -static -static-libgcc -static-libstdc++"
$cxx $flags -mwindows -o "$out/lockscreen_floor.exe" "$here/lockscreen_floor.cpp"
$cxx $flags -mconsole -o "$out/lockscreen_bench.exe" "$here/lockscreen_bench.cpp" -lpsapi
cp "$build/bin/Corvane.exe" "$out/"
[ -d "$repo/skins" ] && { mkdir -p "$out/skin"; cp -r "$repo/skins/." "$out/skin/"; }

source "$repo/tests/wine/harness/env.sh" "$build"
source "$repo/tests/wine/harness/session.sh"
trap stop_session EXIT
prepare_prefix
start_session 480x640

# Wine's own processes' CPU ticks (utime + stime) over the run.
wine_ticks() {
  local total=0 pid
  for pid in $(pgrep -f 'wineserver|winedevice|services.exe|explorer.exe|plugplay|svchost|rpcss' || true); do
    [ -r "/proc/$pid/stat" ] || continue
    total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat")))
  done
  echo "$total"
}
before=$(wine_ticks); t0=$(date +%s.%N)
wine "$out/lockscreen_bench.exe" "$runs" "$idle" 2>/dev/null
after=$(wine_ticks); t1=$(date +%s.%N)
hz=$(getconf CLK_TCK)
awk -v a="$after" -v b="$before" -v hz="$hz" -v t0="$t0" -v t1="$t1" \
  'BEGIN { printf "Wine'"'"'s own processes over the whole run: %.2f %% of one core\n", 100 * (a - b) / hz / (t1 - t0) }'
