# Control drawing under Wine: a full EQ graph repaint (without and with the analyzer's traces) and a
# meter update, as times and as ratios to a plain copy of the same area measured in the same run.
if(QV_WINDOWS)
    add_executable(controls_bench ${CMAKE_CURRENT_LIST_DIR}/controls_paint_bench.cpp
                                  ${CMAKE_CURRENT_LIST_DIR}/controls_bench.rc
                                  ${CMAKE_SOURCE_DIR}/tools/qvrender/DemoSignal.cpp)
    target_link_libraries(controls_bench PRIVATE qv_controls qv_flags)
    target_include_directories(controls_bench PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tools/qvrender)
    target_link_options(controls_bench PRIVATE -mconsole)
    file(GLOB qv_bench_skin_files ${CMAKE_SOURCE_DIR}/resources/skin/*)
    set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/controls_bench.rc PROPERTIES OBJECT_DEPENDS
                                "${CMAKE_SOURCE_DIR}/resources/skin_vst.rc;${qv_bench_skin_files}")
endif()
