#!/usr/bin/env bash
# Installs what building, testing and the demo need, from Debian's packages,
# when something is missing. Safe to run again: it does nothing then.
set -eu
packages=(cmake make g++ googletest libgtest-dev mingw-w64 g++-mingw-w64-x86-64-posix
          wine wine64 xvfb xserver-xephyr xdotool x11-apps imagemagick fonts-liberation nsis
          clang libclang-rt-14-dev clang-format locales procps x11-utils tzdata)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then echo "run as root to install packages" >&2; exit 1; fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# Date and time formats in the tests assume US English.
if ! locale -a 2>/dev/null | grep -qi '^en_US.utf8$'; then
  if [ "$(id -u)" -eq 0 ]; then
    sed -i 's/^# *en_US.UTF-8 UTF-8/en_US.UTF-8 UTF-8/' /etc/locale.gen
    locale-gen >/dev/null
  fi
fi
