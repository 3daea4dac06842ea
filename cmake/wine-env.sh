# Sourced: picks the Wine loader. Debian's /usr/bin/wine prefers the 32-bit loader whenever wine32 is
# installed, even on a kernel that cannot execute 32-bit ELF files; the 64-bit loader runs 64-bit
# Windows programs either way.
if [ -x /usr/lib/wine/wine64 ]; then
    QV_WINE=/usr/lib/wine/wine64
    export WINELOADER=/usr/lib/wine/wine64
else
    QV_WINE=wine
fi
# Whether this machine can run 32-bit x86 code at all (a VM may lack the 32-bit syscall layer).
qv_can_run_i386() {
    [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}
