# Compiler and linker settings shared by every target.
#
# The engine is specified in single precision to the bit, so the floating-point environment is pinned:
# SSE2 arithmetic on i686 (x87 extended precision would change results), no contraction into FMAs,
# never fast-math. With these the win32, win64 and host builds produce identical bits.

add_library(qv_flags INTERFACE)
target_compile_options(qv_flags INTERFACE
    -Wall -Wextra -Wshadow
    -ffp-contract=off
    -fno-fast-math)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
    # A 32-bit host may call us with a stack aligned to 4 bytes only; SSE spills assume 16.
    target_compile_options(qv_flags INTERFACE -msse2 -mfpmath=sse -mstackrealign)
endif()

if(QV_WINDOWS)
    target_compile_definitions(qv_flags INTERFACE
        WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 STRICT)
    # Link the compiler runtime statically: a deliverable's import table names only system DLLs.
    target_link_options(qv_flags INTERFACE -static -static-libgcc -static-libstdc++)
endif()

if(QV_SANITIZE AND NOT QV_WINDOWS)
    target_compile_options(qv_flags INTERFACE -fsanitize=${QV_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(qv_flags INTERFACE -fsanitize=${QV_SANITIZE})
endif()

if(QV_FUZZ AND NOT QV_WINDOWS)
    # Coverage instrumentation for everything the fuzz targets reach, not only their own files.
    target_compile_options(qv_flags INTERFACE -fsanitize=fuzzer-no-link,address,undefined)
    target_link_options(qv_flags INTERFACE -fsanitize=address,undefined)
endif()
