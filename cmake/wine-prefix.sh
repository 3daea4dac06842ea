#!/bin/sh
# Makes a Wine prefix ready for tests, once: wineboot, then the null graphics driver so that windows,
# GDI and messages work without an X server. Safe to call concurrently and repeatedly.
prefix="$1"
# Title bars, menus and scroll bars draw their symbols with Marlett; without it a close box reads "r".
# Wine does not look for it where Debian puts it, so it goes into the prefix's font folder (only it:
# other fonts would change the text of every picture).
marlett=/usr/share/wine/fonts/marlett.ttf
add_marlett() {
    [ -f "$marlett" ] && [ ! -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ] &&
        mkdir -p "$prefix/drive_c/windows/Fonts" && cp "$marlett" "$prefix/drive_c/windows/Fonts/"
    return 0
}
[ -f "$prefix/.qv-ready" ] && { add_marlett; exit 0; }
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
    add_marlett
    touch "$prefix/.qv-ready"
) 9>"$prefix.lock"
