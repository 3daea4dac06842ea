# The analyzer's editor-side frame on the native build (Google Benchmark): the bands' copy over
# the frame's samples, the transform, the band levels and the path, at the editor's graph size at 100 % and 200 %.
if(NOT QV_WINDOWS AND NOT QV_SANITIZE AND NOT QV_FUZZ)
    find_package(benchmark QUIET)
    if(benchmark_FOUND)
        add_executable(analyzer_bench ${CMAKE_CURRENT_LIST_DIR}/analyzer_frame_bench.cpp)
        target_link_libraries(analyzer_bench PRIVATE qv_controls_core qv_engine qv_flags benchmark::benchmark)
        target_include_directories(analyzer_bench PRIVATE ${CMAKE_SOURCE_DIR})
    endif()
endif()
