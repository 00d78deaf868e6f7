# Sourced by a benchmark script once its programs are made: the Wine
# environment of BUILD and, unless the caller (run-bench) has prepared the
# prefix and started a session already (BENCH_IN_SESSION=1), a session of the
# script's own on a SIZE screen, stopped when the script ends; "install"
# also installs the suite's programs into the prefix.
# Usage: source "$repo/bench/session.sh" BUILD SIZE [install]
source "$repo/tests/wine/harness/env.sh" "$1"
if [ -z "${BENCH_IN_SESSION:-}" ]; then
  source "$repo/tests/wine/harness/session.sh"
  trap stop_session EXIT
  prepare_prefix
  [ "${3:-}" != install ] || install_programs
  start_session "$2"
fi
