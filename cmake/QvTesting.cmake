# Test and deliverable helpers.
#
# Windows builds run their test executables under Wine through CMAKE_CROSSCOMPILING_EMULATOR: a script
# generated into the build tree that owns this tree's own Wine prefix (never ~/.wine).

include(CTest)

if(QV_WINDOWS)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
        set(QV_DIST_NAME win32)
    else()
        set(QV_DIST_NAME win64)
    endif()
    set(QV_DIST_DIR ${CMAKE_SOURCE_DIR}/dist/${QV_DIST_NAME})
    set(QV_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-exec.sh.in ${CMAKE_BINARY_DIR}/wine-exec @ONLY
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-exec)
endif()

set(QV_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
if(BUILD_TESTING AND NOT TARGET gtest)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(${QV_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    if(QV_SANITIZE AND NOT QV_WINDOWS)
        foreach(t gtest gtest_main)
            target_compile_options(${t} PRIVATE -fsanitize=${QV_SANITIZE})
        endforeach()
    endif()
endif()

# qv_add_test(name SOURCES ... [LIBS ...] [LABELS ...] [LOCKS ...] [EMULATED [EMULATED_FILTER pattern]])
# One test executable is one ctest entry: under Wine every process start costs time.
# LOCKS names shared state the test changes, so ctest -j never runs two such tests at once:
#   registry  the prefix's registry (COM registration, "PluginPath")
#   desktop   the pointer, focus and foreground window
# EMULATED (label "emulated"): the win32 test also runs where qemu executes the 32-bit code. There
# every Wine process start takes tens of seconds and DirectShow graphs do not finish (GStreamer's
# WAVE parser); ./test sets QV_TEST_EMULATED, tests leave graph runs out, and a test with an
# EMULATED_FILTER runs only the gtest cases it names. Only what fits a few minutes there; ./test
# names the win32 tests left out.
function(qv_add_test name)
    cmake_parse_arguments(T "EMULATED" "EMULATED_FILTER" "SOURCES;LIBS;LABELS;LOCKS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main gtest qv_flags)
    if(QV_WINDOWS)
        # Console test programs; keep gtest's output plain for the ctest log.
        target_link_options(${name} PRIVATE -mconsole)
    endif()
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    if(QV_WINDOWS)
        list(APPEND T_LABELS wine)
        if(T_EMULATED)
            list(APPEND T_LABELS emulated)
        endif()
    endif()
    if(T_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
    endif()
    if(T_LOCKS)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
    endif()
    if(T_EMULATED_FILTER)
        # wine-exec applies it in the emulated tier only.
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QV_EMULATED_GTEST_FILTER=${T_EMULATED_FILTER}")
    endif()
endfunction()

# qv_add_unwritable_test(name executable filter [LOCKS ...])
# Runs the gtest cases `filter` of a Windows test executable beside install folders that may not be
# written (tests/support/unwritable-folders.sh), each holding the factory preset file.
function(qv_add_unwritable_test name executable filter)
    cmake_parse_arguments(T "" "" "LOCKS" ${ARGN})
    if(NOT QV_WINDOWS)
        return()
    endif()
    add_test(NAME ${name}
        COMMAND ${CMAKE_SOURCE_DIR}/tests/support/unwritable-folders.sh ${CMAKE_BINARY_DIR}/unwritable/${name}
                ${CMAKE_SOURCE_DIR}/presets/factory/qvEqualizerR3.ini ${CMAKE_BINARY_DIR}/wine-exec
                $<TARGET_FILE:${executable}> --gtest_color=no --gtest_filter=${filter}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    set_tests_properties(${name} PROPERTIES LABELS wine TIMEOUT 180)
    if(T_LOCKS)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
    endif()
endfunction()

# qv_deliverable(target [DEVELOPER] EXPORTS a b c)
# Copies the built file into dist/<build>/ (what a user downloads; a DEVELOPER tool stays in the build
# tree) and adds a test that its import table names only system DLLs and that its export table holds
# exactly the undecorated names given.
function(qv_deliverable target)
    cmake_parse_arguments(D "DEVELOPER" "" "EXPORTS" ${ARGN})
    if(NOT QV_WINDOWS)
        return()
    endif()
    # What users download carries no debug sections (a third of a DLL's size).
    target_link_options(${target} PRIVATE $<$<CONFIG:Release>:-s>)
    if(NOT D_DEVELOPER)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E make_directory ${QV_DIST_DIR}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${QV_DIST_DIR}/
            VERBATIM)
    endif()
    string(REPLACE ";" "," exports "${D_EXPORTS}")
    add_test(NAME pe_${target}
        COMMAND ${CMAKE_SOURCE_DIR}/cmake/check-pe.sh ${QV_OBJDUMP} $<TARGET_FILE:${target}> "${exports}")
    set_tests_properties(pe_${target} PROPERTIES LABELS pe)
endfunction()

# qv_rc_depends(file.rc ...)
# windres does not report the files a resource script pulls in; name every resource file so that a
# changed image or template rebuilds the module. Scripts find them with the repository root on the
# include path.
function(qv_rc_depends)
    file(GLOB_RECURSE rc_inputs CONFIGURE_DEPENDS
        ${CMAKE_SOURCE_DIR}/resources/*.bmp ${CMAKE_SOURCE_DIR}/resources/*.raw ${CMAKE_SOURCE_DIR}/resources/*.cur
        ${CMAKE_SOURCE_DIR}/resources/*.ico ${CMAKE_SOURCE_DIR}/resources/*.rc ${CMAKE_SOURCE_DIR}/resources/*.h
        ${CMAKE_SOURCE_DIR}/resources/*.manifest)
    foreach(rc ${ARGN})
        set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${rc_inputs}")
    endforeach()
endfunction()
