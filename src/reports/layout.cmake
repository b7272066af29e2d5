# The page-layout engine.
target_sources(stowbook_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ReportDefaults.h
    ${CMAKE_CURRENT_LIST_DIR}/ReportTable.h ${CMAKE_CURRENT_LIST_DIR}/ReportTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReportTableHeading.h ${CMAKE_CURRENT_LIST_DIR}/ReportTableHeading.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageLayoutText.h ${CMAKE_CURRENT_LIST_DIR}/PageLayoutText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageLayout.h ${CMAKE_CURRENT_LIST_DIR}/PageLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageLayoutPaint.cpp
)
