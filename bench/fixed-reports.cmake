# Timings of the value summaries and the serial number list on a large
# inventory; run through bench/run.
add_executable(stowbook-bench-fixed
    ${CMAKE_CURRENT_LIST_DIR}/FixedReportsBench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BenchProgram.h ${CMAKE_CURRENT_LIST_DIR}/BenchProgram.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QuietPrompts.h ${CMAKE_CURRENT_LIST_DIR}/QuietPrompts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Timings.h ${CMAKE_CURRENT_LIST_DIR}/Timings.cpp
)
target_link_libraries(stowbook-bench-fixed PRIVATE stowbook_core)
