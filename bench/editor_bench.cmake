# The editor under Wine: opening it to its first complete paint, and a host's automation burst
# reaching the screen, each as a ratio to a reference measured in the same run; the open at 200 % (a
# copy at 192 DPI) against the open at 100 %.
if(QV_WINDOWS)
    add_executable(editor_bench ${CMAKE_CURRENT_LIST_DIR}/editor_open_bench.cpp)
    target_link_libraries(editor_bench PRIVATE qv_flags qv_win user32 gdi32)
    target_include_directories(editor_bench PRIVATE ${CMAKE_SOURCE_DIR}/vst ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/controls)
    target_link_options(editor_bench PRIVATE -mconsole)
    add_dependencies(editor_bench qv_vst)
endif()
