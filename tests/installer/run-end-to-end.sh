#!/bin/sh
# run-end-to-end.sh BUILD_DIR DIST_DIR DRIVER SCENARIO...
# Runs each scenario of the end-to-end driver (a gtest name) in a fresh Wine prefix: one template
# prefix per build is booted once and copied for every scenario, with its own wineserver, stopped
# after. The download is copied into the prefix as C:\download. Pictures go to BUILD_DIR/setup-pictures.
build=$1; dist=$2; driver=$3; shift 3
here=$(dirname "$0")
root=$(cd "$here/../.." && pwd)
. "$root/cmake/wine-env.sh"
template="$build/wine-setup-template"
"$root/cmake/wine-prefix.sh" "$template" || exit 1
pictures="$build/setup-pictures"
mkdir -p "$pictures"
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
export WINEDEBUG="${QV_E2E_WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
export QV_E2E_TOOLS="$(winpath "$(dirname "$driver")")" QV_E2E_SNAPS="$(winpath "$pictures")"
failed=0
[ -f "$dist/qvEqualizer.chm" ] || echo "end-to-end: no qvEqualizer.chm in $dist; a placeholder file stands in"
for scenario in "$@"; do
    prefix="$build/wine-setup-$(printf '%s' "$scenario" | tr -c 'A-Za-z0-9\n' '-')"
    rm -rf "$prefix"
    cp -a "$template" "$prefix"
    mkdir -p "$prefix/drive_c/download"
    cp -a "$dist"/. "$prefix/drive_c/download/"
    # Until the manual is built into the download, a stand-in of that name takes its place.
    [ -f "$dist/qvEqualizer.chm" ] ||
        printf 'placeholder for the manual qvEqualizer.chm\r\n' >"$prefix/drive_c/download/qvEqualizer.chm"
    export WINEPREFIX="$prefix"
    wineserver -p30 >/dev/null 2>&1 </dev/null
    "$QV_WINE" wineboot </dev/null >/dev/null 2>&1
    # QV_E2E_LOGPIXELS: the desktop's DPI for the run (the pictures at 150 % and 200 %).
    if [ -n "${QV_E2E_LOGPIXELS:-}" ]; then
        "$QV_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$QV_E2E_LOGPIXELS" /f \
            </dev/null >/dev/null 2>&1
    fi
    echo "=== $scenario"
    # A scenario name that matches nothing must not pass as an empty run.
    out="$build/setup-e2e-last.txt"
    "$QV_WINE" "$driver" --gtest_color=no "--gtest_filter=$scenario" </dev/null >"$out" 2>&1
    status=$?
    cat "$out"
    if [ $status != 0 ] || ! grep -q '^\[  PASSED  \] 1 test' "$out"; then
        failed=$((failed + 1))
    fi
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    rm -rf "$prefix"
done
echo "end-to-end: $failed of $# scenarios failed"
[ $failed = 0 ]
