# Functions that set up and end a Wine session on a private X screen
# (sourced after env.sh). Each session has its own display number, found by
# Xvfb itself, and the prefix of its build folder, so two runs on one
# machine do not collide.
repo_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)

prepare_prefix() {
  if [ ! -f "$WINEPREFIX/.ombrevale-ready" ]; then
    echo "== initialising Wine prefix $WINEPREFIX"
    DISPLAY= wineboot -i >/dev/null 2>&1 || true
    # No window manager: without Managed=N Wine waits ~2 s for every
    # full-screen window to be withdrawn. SDL polling costs a core's 2.5 %.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Services\winebus' /v 'Enable SDL' /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.ombrevale-ready"
  fi
}

# Copies the built programs and the skins into Program Files as setup would.
install_programs() {
  mkdir -p "$install_dir"
  cp "$build_dir"/bin/*.exe "$install_dir"/
  if [ -d "$repo_dir/skins" ]; then
    mkdir -p "$install_dir/skin"
    cp -r "$repo_dir"/skins/. "$install_dir/skin/"
  fi
}

# start_session WxH: private Xvfb of that size, persistent wineserver,
# Wine's own services started once with their output thrown away.
start_session() {
  local size=$1
  start_x Xvfb xvfb_pid -screen 0 "${size}x24"
  # A landscape screen of 800 pixels or wider is taken as a PC's, with a
  # taskbar: its work area ends 40 pixels above the bottom. Wine reads it
  # from the X root's _NET_WORKAREA when its desktop starts.
  local w=${size%x*} h=${size#*x}
  if [ "$w" -ge 800 ]; then xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 0, $w, $((h - 40))"; fi
  start_wine
}

# start_x SERVER PIDVAR ARGS...: an X server that finds its own display
# number; DISPLAY is set to it.
start_x() {
  local server=$1 pidvar=$2 fdfile
  shift 2
  fdfile=$(mktemp)
  "$server" -displayfd 3 "$@" -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
  printf -v "$pidvar" '%s' $!
  for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

start_wine() {
  wineserver -p >/dev/null 2>&1
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}

# start_two_monitor_session: two monitors side by side, the primary 1024x768
# at 0,0 and a second one of 800x600 at 1024,0, through Xephyr on a private
# Xvfb (Xvfb alone puts both screens at 0,0). RANDR is off so that Wine
# reads the Xinerama layout.
start_two_monitor_session() {
  start_x Xvfb xvfb_pid -screen 0 1824x768x24
  start_x Xephyr xephyr_pid -screen 1024x768+0+0 -screen 800x600+1024+0 +xinerama -extension RANDR
  start_wine
}

stop_session() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "${xephyr_pid:-}" ]; then kill "$xephyr_pid" 2>/dev/null || true; wait "$xephyr_pid" 2>/dev/null || true; fi
  if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  xvfb_pid=
  xephyr_pid=
}
