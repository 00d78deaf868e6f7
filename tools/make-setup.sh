#!/usr/bin/env bash
# Builds setup.exe (NSIS, 64-bit, Unicode) from a Windows build folder.
# Usage: tools/make-setup.sh BUILD_DIR  ->  BUILD_DIR/setup.exe
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
makensis -V2 -DBIN="$build/bin" -DSKINS="$repo/skins" -DOUTFILE="$build/setup.exe" "$repo/installer/hushpane.nsi"
echo "$build/setup.exe"
