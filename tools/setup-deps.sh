#!/bin/sh
# Installs the Debian packages the build and the tests need, when missing. Safe to run again.
set -e
pkgs="g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-i686
 binutils-mingw-w64-x86-64 wine wine64 xvfb xauth cmake ninja-build googletest libgtest-dev
 libbenchmark-dev libcairo2-dev fonts-dejavu-core icoutils fp-utils libchm-bin imagemagick clang
 libclang-rt-14-dev g++-multilib qemu-user gstreamer1.0-plugins-good gstreamer1.0-plugins-base util-linux"
# wine32 needs i386 multiarch; it is only useful where the kernel runs 32-bit code, but Debian's
# wine packages expect it and it costs nothing to have.
pkgs32="wine32:i386 gstreamer1.0-plugins-good:i386"

missing=""
for p in $pkgs; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || missing="$missing $p"
done
for p in $pkgs32; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" != 0 ]; then
    echo "setup: missing packages:$missing (run as root to install them)" >&2
    exit 1
fi
echo "setup: installing$missing" >&2
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends $missing >/dev/null
