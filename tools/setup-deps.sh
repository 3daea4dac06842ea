#!/bin/sh
# Installs the Debian packages the build and the tests need, when missing, and where this machine
# cannot execute 32-bit x86 code, lets qemu run it so that the win32 build's tests can run under Wine.
# Safe to run again; says what it changed.
set -e
pkgs="g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-i686
 binutils-mingw-w64-x86-64 wine wine64 xvfb xauth cmake ninja-build googletest libgtest-dev
 libbenchmark-dev libcairo2-dev fonts-dejavu-core fonts-wine icoutils fp-utils libchm-bin imagemagick
 clang libclang-rt-14-dev g++-multilib qemu-user gstreamer1.0-plugins-good gstreamer1.0-plugins-base
 util-linux"
# wine32 needs i386 multiarch: the win32 build's tests run on it, natively or under qemu.
pkgs32="wine32:i386 gstreamer1.0-plugins-good:i386"
native=$(dpkg --print-architecture)

# installed NAME[:ARCH]: a name without an architecture means this machine's own build (or an
# architecture-independent one); the i386 build of a package does not stand in for it.
installed() {
    case $1 in
    *:*) archs=${1#*:} ;;
    *) archs="$native|all" ;;
    esac
    dpkg-query -W -f='${Status} ${Architecture}\n' "${1%%:*}" 2>/dev/null |
        grep -Eq "^install ok installed ($archs)\$"
}

missing=""
for p in $pkgs $pkgs32; do
    installed "$p" || missing="$missing $p"
done

root=false
[ "$(id -u)" = 0 ] && root=true

# apt-get update fails as a whole when one index is mid-sync on the mirror (a file of the wrong
# size); a few tries a little apart get past it, and what stays broken is reported, not fatal.
update_index() {
    for try in 1 2 3; do
        apt-get update -qq 2>"$tmp/update.txt" && ! grep -q '^E:' "$tmp/update.txt" && return 0
        [ "$try" = 3 ] || sleep 15
    done
    echo "setup: the package index could not be read completely; going on with what was read:" >&2
    grep '^E:' "$tmp/update.txt" | head -3 >&2
}

missing32=""
for p in $pkgs32; do
    case " $missing " in *" $p "*) missing32="$missing32 $p" ;; esac
done
missing64=""
for p in $missing; do
    case " $missing32 " in *" $p "*) ;; *) missing64="$missing64 $p" ;; esac
done

if [ -n "$missing" ]; then
    if ! $root; then
        echo "setup: missing packages:$missing (run as root to install them)" >&2
        exit 1
    fi
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' EXIT
    echo "setup: installing$missing" >&2
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    export DEBIAN_FRONTEND=noninteractive
    update_index
    # The native set first: the builds, the host tests and the win64 tests need nothing more.
    if [ -n "$missing64" ]; then
        # shellcheck disable=SC2086 # one word per package
        apt-get install -y -qq --no-install-recommends $missing64 >/dev/null
    fi
    # The 32-bit set only runs the win32 tests; without it they fall back to their static checks.
    if [ -n "$missing32" ]; then
        # shellcheck disable=SC2086
        apt-get install -y -qq --no-install-recommends $missing32 >"$tmp/install32.txt" 2>&1 ||
            echo "setup: the 32-bit packages ($missing32 ) could not be installed; the win32 tests run their static checks only" >&2
    fi
fi

# 32-bit x86 code: nothing to do where the kernel runs it (natively, or already through qemu).
# Otherwise register qemu-i386 for i386 ELF executables with the kernel; Debian's qemu-user-binfmt
# leaves i386 out on amd64, so the registration is written here, with qemu's own magic and mask.
. "$(dirname "$0")/../cmake/wine-env.sh"
[ "$(qv_i386_mode)" = none ] || exit 0
if ! $root; then
    echo "setup: this machine cannot execute 32-bit x86 code; as root, this script would let qemu-i386 run it" >&2
    exit 0
fi
binfmt=/proc/sys/fs/binfmt_misc
if [ ! -e $binfmt/register ]; then
    mount -t binfmt_misc binfmt_misc $binfmt || { echo "setup: cannot mount $binfmt; the win32 tests run static checks only" >&2; exit 0; }
    echo "setup: mounted binfmt_misc on $binfmt" >&2
fi
if [ -e $binfmt/qemu-i386 ]; then
    echo 1 >$binfmt/qemu-i386
    echo "setup: enabled $binfmt/qemu-i386" >&2
else
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:' >$binfmt/register
    echo "setup: registered /usr/bin/qemu-i386 for i386 executables ($binfmt/qemu-i386)" >&2
fi
[ "$(qv_i386_mode)" = emulated ] ||
    echo "setup: 32-bit x86 code still does not run; the win32 tests run static checks only" >&2
