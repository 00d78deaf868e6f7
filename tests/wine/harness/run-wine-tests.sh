#!/usr/bin/env bash
# Runs the integration tests under Wine: prepares the private prefix,
# installs the programs into its Program Files, then runs each screen size's
# tests in its own X screen and Wine session.
# Usage: run-wine-tests.sh BUILD_DIR [extra ctest arguments]
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh" "$1"
shift
source "$here/session.sh"
trap stop_session EXIT

prepare_prefix
install_programs
status=0
for size in 240x320 480x640 800x480 1366x768 1920x1080; do
  if ! ctest --test-dir "$build_dir" -N -L "screen_$size" "$@" | grep -q 'Total Tests: [1-9]'; then continue; fi
  echo "== Wine tests on a ${size} screen"
  start_session "$size"
  ctest --test-dir "$build_dir" -L "screen_$size" --output-on-failure "$@" || status=1
  stop_session
done
if ctest --test-dir "$build_dir" -N -L screen_two_monitors "$@" | grep -q 'Total Tests: [1-9]'; then
  echo "== Wine tests on two monitors (1024x768 and 800x600)"
  start_two_monitor_session
  ctest --test-dir "$build_dir" -L screen_two_monitors --output-on-failure "$@" || status=1
  stop_session
fi
# The end-to-end tests install with setup.exe and uninstall again: they run
# last, on a 240x320 screen of their own, and the harness's copy of the
# programs is put back afterwards.
if ctest --test-dir "$build_dir" -N -L screen_e2e "$@" | grep -q 'Total Tests: [1-9]'; then
  echo "== end-to-end tests on a 240x320 screen"
  if "$repo_dir/tools/make-setup.sh" "$build_dir" >/dev/null; then
    start_session 240x320
    ctest --test-dir "$build_dir" -L screen_e2e --output-on-failure "$@" || status=1
    stop_session
  else
    echo "setup.exe could not be built (tools/make-setup.sh)"; status=1
  fi
  install_programs
fi
exit $status
