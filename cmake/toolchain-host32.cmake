# Native 32-bit x86 build of the platform-free code with the Windows i686 build's floating-point
# flags. Where the machine cannot execute 32-bit code, its tests run under qemu's user-mode emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR x86)
# Only the platform-free code: native tools that need other libraries are left out here.
set(QV_HOST32 ON)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")
if(NOT EXISTS /lib/ld-linux.so.2 OR NOT QV_I386_NATIVE)
    find_program(QV_QEMU_I386 qemu-i386)
    if(QV_QEMU_I386)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${QV_QEMU_I386})
    endif()
endif()
