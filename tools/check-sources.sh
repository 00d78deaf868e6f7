#!/usr/bin/env bash
# Fast checks of the sources that ./run-tests makes before it builds:
#  - layering: no file of platform/ or shared/ includes one of a program's
#    folder (lockscreen/, service/, config/); the programs build on these
#    two, never the other way round;
# Usage: tools/check-sources.sh [REPO (default: this checkout)]
set -u
repo=${1:-$(cd "$(dirname "$0")/.." && pwd)}
status=0

upward=$(cd "$repo" && grep -rnE '^\s*#\s*include\s+"(lockscreen|service|config)/' platform shared)
if [ -n "$upward" ]; then
  echo "platform/ and shared/ must not include a program's files:"
  echo "$upward"
  status=1
fi

exit $status
