#!/usr/bin/env bash
# Builds both configurations: build/native (pure logic and unit tests) and
# build/win (the programs, the device tool and the Wine tests).
# `tools/build.sh win` builds the Windows configuration only.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
if [ "${1:-all}" != win ]; then
  cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build build/native -j2
fi
cmake -S . -B build/win -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build/win -j2
