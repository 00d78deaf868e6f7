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
for size in 240x320 480x640 800x480; do
  if ! ctest --test-dir "$build_dir" -N -L "screen_$size" "$@" | grep -q 'Total Tests: [1-9]'; then continue; fi
  echo "== Wine tests on a ${size} screen"
  start_session "$size"
  ctest --test-dir "$build_dir" -L "screen_$size" --output-on-failure "$@" || status=1
  stop_session
done
exit $status
