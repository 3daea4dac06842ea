# Sourced: picks the Wine loader. Debian's /usr/bin/wine prefers the 32-bit loader whenever wine32 is
# installed, even on a kernel that cannot execute 32-bit ELF files; the 64-bit loader runs 64-bit
# Windows programs either way.
if [ -x /usr/lib/wine/wine64 ]; then
    QV_WINE=/usr/lib/wine/wine64
    export WINELOADER=/usr/lib/wine/wine64
else
    QV_WINE=wine
fi
# How this machine runs 32-bit x86 code: "native", "emulated" (the kernel hands it to qemu-i386,
# which then answers QEMU_VERSION itself instead of running the program) or "none".
qv_i386_mode() {
    if [ -x /lib/ld-linux.so.2 ] && out=$(QEMU_VERSION=1 /lib/ld-linux.so.2 --version 2>/dev/null); then
        case $out in qemu*) echo emulated ;; *) echo native ;; esac
    else
        echo none
    fi
}
# Natively only: where 32-bit code is emulated, timing and GStreamer's graphs are out of reach.
qv_can_run_i386() {
    [ "$(qv_i386_mode)" = native ]
}
# Under qemu, 32-bit Wine cannot map its shared user data without this bound on the guest's address
# space; a native run ignores it.
export QEMU_RESERVED_VA="${QEMU_RESERVED_VA:-0xf7000000}"
