# A long render through both paths of the render tool, against reading and writing the same file
# without processing, in the same run.
if(QV_WINDOWS)
    add_executable(render_bench ${CMAKE_CURRENT_LIST_DIR}/render_bench_win.cpp)
    target_link_libraries(render_bench PRIVATE qv_render_app qv_win qv_flags)
    target_link_options(render_bench PRIVATE -mconsole)
    add_dependencies(render_bench qv_vst qvEqualizer)
endif()
