#!/usr/bin/env bash
# Fast checks of the sources that ./run-tests makes before it builds:
#  - layering: no file of platform/ or shared/ includes one of a program's
#    folder (lockscreen/, service/, config/); the programs build on these
#    two, never the other way round;
#  - layout: every C++ file as clang-format writes it after .clang-format
#    (about a second for the whole tree).
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

# Layout: every C++ file as clang-format writes it after .clang-format; a
# file that differs is named (`clang-format -i FILE` mends it).
layout=$(cd "$repo" && find bench config fuzz installer lockscreen platform service shared tests tools \
           \( -name '*.cpp' -o -name '*.h' -o -name '*.cc' \) -print0 | xargs -0 clang-format --dry-run --Werror 2>&1)
if [ $? -ne 0 ]; then
  echo "C++ files that clang-format would lay out otherwise (.clang-format):"
  echo "$layout" | sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/  \1/p' | sort -u
  echo "$layout" | grep -v 'code should be clang-formatted' | grep -iE '^(error|.*: error:)' | head -n 5
  status=1
fi

exit $status
