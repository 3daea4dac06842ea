#!/bin/sh
# Makes a Wine prefix ready for tests, once: wineboot, then the null graphics driver so that windows,
# GDI and messages work without an X server. Safe to call concurrently and repeatedly.
prefix="$1"
[ -f "$prefix/.qv-ready" ] && exit 0
mkdir -p "$prefix"
here=$(dirname "$0")
(
    flock 9
    [ -f "$prefix/.qv-ready" ] && exit 0
    . "$here/wine-env.sh"
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    "$QV_WINE" wineboot -i >/dev/null 2>&1
    "$QV_WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 ||
        { echo "wine-prefix: cannot set up $prefix" >&2; exit 1; }
    wineserver -w
    touch "$prefix/.qv-ready"
) 9>"$prefix.lock"
