#!/bin/sh
# Runs a test command beside two install folders that no Windows program may write, each holding the
# factory preset file, as a standard user meets Program Files and a write-protected medium:
#   QV_READONLY_FOLDER  a read-only file system (Wine: "the media is write protected")
#   QV_DENIED_FOLDER    an immutable folder (Wine: "access is denied")
# Both are Windows paths ending in a backslash. Wine runs as an administrator and root may write
# anything, so only the kernel can refuse; making such folders needs root. Where that fails the
# command runs without them and its cases say they were skipped.
# usage: unwritable-folders.sh WORKDIR PRESETFILE COMMAND [ARGS...]
work=$1; ini=$2; shift 2
ro=$work/readonly
denied=$work/denied
cleanup() {
    umount "$ro" 2>/dev/null
    chattr -i "$denied" 2>/dev/null
    rm -rf "$work"
}
windows() { printf 'Z:%s\\' "$(printf '%s' "$1" | tr / '\\')"; }
cleanup
mkdir -p "$ro" "$denied" || exit 1
trap cleanup EXIT
trap 'exit 1' INT TERM
if mount -t tmpfs -o size=4m tmpfs "$ro" 2>/dev/null && cp "$ini" "$ro/" && mount -o remount,ro "$ro"; then
    QV_READONLY_FOLDER=$(windows "$ro")
    export QV_READONLY_FOLDER
else
    echo "unwritable-folders: no read-only file system here (needs root); its cases are skipped"
fi
if cp "$ini" "$denied/" && chattr +i "$denied" 2>/dev/null; then
    QV_DENIED_FOLDER=$(windows "$denied")
    export QV_DENIED_FOLDER
else
    echo "unwritable-folders: no immutable folder here (needs root and chattr); its cases are skipped"
fi
"$@"
