# The pinned environment every Wine run of the suite shares (sourced).
# $1: the build folder that holds bin/ and the private prefix.
build_dir=$(cd "$1" && pwd)
export WINEPREFIX="$build_dir/wineprefix"
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=en_US.UTF-8
export LC_ALL=en_US.UTF-8
export TZ=UTC
install_dir="$WINEPREFIX/drive_c/Program Files/Ombrevale/Hushpane"
